// Docmend relocating a pick, against the plain copy of the same data with
// copy_file_range into a fresh directory, measured alternately in the same
// loop so both see the same page cache and disk state.
//
//   docmend_relocate_bench [--benchmark_filter=...]
//
// Each benchmark reports the relocation's time as its own (manual time) and
// the counters baseline_s (the plain copy) and ratio (relocation / plain
// copy, over all iterations), and per_folder_s and ratio_per_folder for the
// plain copy made with one new directory per file, as Docmend's layout
// requires (directory creation dominates a pick of many small files). Files are made under
// $BENCH_DIR, else under /var/tmp (a disk, not a memory file system); everything is removed after.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "pickerfix/CopyFolder.h"
#include "platform/foundation/NSArray.h"
#include "platform/foundation/NSURL.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/message.h"
#include "platform/objc/runtime.h"
#include "platform/uikit/UIDocumentPickerViewController.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

SEL sel(const char* name) {
  return sel_registerName(name);
}

void ignorePick(id, SEL, id, id) {}

struct Bench {
  fs::path root;
  id picker = nil;
  id delegate = nil;

  Bench() {
    const char* base = std::getenv("BENCH_DIR");
    root = fs::path(base != nullptr ? base : "/var/tmp") /
           ("docmend-bench-" + std::to_string(getpid()));
    fs::create_directories(root / "home");
    fs::create_directories(root / "tmp");
    fs::create_directories(root / "source" / "small");
    setenv("HOME", (root / "home").c_str(), 1);
    setenv("TMPDIR", (root / "tmp").c_str(), 1);
    if (dlopen(DOCMEND_PATH, RTLD_NOW) == nullptr) std::abort();
    Class cls = objc_allocateClassPair(objc_getClass("NSObject"), "BenchDelegate", 0);
    class_addMethod(cls, sel("documentPicker:didPickDocumentsAtURLs:"),
                    reinterpret_cast<IMP>(ignorePick), "v32@0:8@16@24");
    objc_registerClassPair(cls);
    delegate = class_createInstance(cls, 0);
    picker = objc_msgSendTyped<id>(
        objc_msgSendTyped<id>(objc_getClass("UIDocumentPickerViewController"), sel("alloc")),
        sel("initWithDocumentTypes:inMode:"), static_cast<id>(nil),
        static_cast<NSUInteger>(UIDocumentPickerModeOpen));
    objc_msgSendTyped<void>(picker, sel("setDelegate:"), delegate);
  }
  ~Bench() {
    objc_release(picker);
    objc_release(delegate);
    fs::remove_all(root);
  }

  void pick(const std::vector<fs::path>& files) {
    AutoreleasePool pool;
    NSMutableArray* urls = NSMutableArray::arrayWithCapacity(files.size());
    for (const auto& file : files)
      urls->addObject(NSURL::securityScopedFileURLWithPath(file.string()));
    objc_msgSendTyped<void>(picker, sel("pickDocumentsAtURLs:"), static_cast<id>(urls));
  }
};

Bench& bench() {
  static Bench* instance = new Bench();
  return *instance;
}

void writeData(const fs::path& path, std::size_t size) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  std::vector<char> block(1 << 20);
  for (std::size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<char>(i * 2654435761u >> 13);
  for (std::size_t done = 0; done < size;) {
    std::size_t n = std::min(block.size(), size - done);
    if (write(fd, block.data(), n) != static_cast<ssize_t>(n)) std::abort();
    block[0] = static_cast<char>(block[0] + 1);
    done += n;
  }
  close(fd);
}

// The baseline: each file into one fresh directory, bytes moved by
// copy_file_range.
void plainCopy(const std::vector<fs::path>& files, const fs::path& folder) {
  mkdir(folder.c_str(), 0755);
  for (const auto& file : files) {
    int in = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    int out =
        open((folder / file.filename()).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (in < 0 || out < 0) std::abort();
    while (copy_file_range(in, nullptr, out, nullptr, std::size_t(1) << 30, 0) > 0) {
    }
    close(in);
    close(out);
  }
}

// The same with one new directory per file, as the relocation's layout has
// it: the floor for any copy into per-file directories.
void plainCopyIntoOwnFolders(const std::vector<fs::path>& files, const fs::path& folder) {
  mkdir(folder.c_str(), 0755);
  int index = 0;
  for (const auto& file : files) {
    fs::path own = folder / std::to_string(index++);
    mkdir(own.c_str(), 0755);
    plainCopy({file}, own);
  }
}

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void relocateAgainstBaseline(benchmark::State& state, const std::vector<fs::path>& files) {
  Bench& b = bench();
  double relocation = 0;
  double baseline = 0;
  double perFolder = 0;
  int round = 0;
  for (auto _ : state) {
    // Alternate which goes first, so that neither always pays for the
    // other's dirty pages being written back.
    fs::path folder = b.root / ("plain-" + std::to_string(round));
    fs::path ownFolders = b.root / ("own-" + std::to_string(round));
    double took[3] = {};
    for (int step = 0; step < 3; ++step) {
      int which = (step + round) % 3;
      auto start = Clock::now();
      if (which == 0) {
        b.pick(files);
      } else if (which == 1) {
        plainCopy(files, folder);
      } else {
        plainCopyIntoOwnFolders(files, ownFolders);
      }
      took[which] = seconds(Clock::now() - start);
    }
    ++round;
    state.SetIterationTime(took[0]);
    relocation += took[0];
    baseline += took[1];
    perFolder += took[2];
    fs::remove_all(ownFolders);
    fs::remove_all(b.root / "tmp" / kTDMCopyFolder);
    fs::remove_all(folder);
  }
  state.counters["baseline_s"] = baseline / static_cast<double>(state.iterations());
  state.counters["ratio"] = relocation / baseline;
  state.counters["per_folder_s"] = perFolder / static_cast<double>(state.iterations());
  state.counters["ratio_per_folder"] = relocation / perFolder;
}

void BM_RelocateOneGiBFile(benchmark::State& state) {
  fs::path big = bench().root / "source" / "big.bin";
  if (!fs::exists(big)) writeData(big, std::size_t(1) << 30);
  relocateAgainstBaseline(state, {big});
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (std::int64_t(1) << 30));
}

void BM_RelocateThousandSmallFiles(benchmark::State& state) {
  std::vector<fs::path> files;
  for (int i = 0; i < 1000; ++i) {
    fs::path file = bench().root / "source" / "small" / ("file-" + std::to_string(i) + ".dat");
    if (!fs::exists(file)) writeData(file, 16 * 1024);
    files.push_back(file);
  }
  relocateAgainstBaseline(state, files);
}

BENCHMARK(BM_RelocateOneGiBFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_RelocateThousandSmallFiles)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace
