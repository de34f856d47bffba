// Peak memory of the platform host's `render --presentation all`, each run a
// process of its own, measured two ways:
//
// - footprint_kB: what the phone's memory limit counts, the process's dirty
//   memory: its private dirty pages plus its swapped ones
//   (/proc/<pid>/smaps_rollup). The parent samples it about every
//   millisecond while the child runs and keeps the highest; pictures come
//   and go while the command draws, so the figure at exit is lower.
// - rss_kB: the resident-set peak (ru_maxrss, as the process ends). Most of
//   it is clean pages of mapped files (libraries, fonts) that the system can
//   drop at once and that the limit does not count.
//
// - PeakMemory/validate: the baseline, `validate` of a sample state: what a
//   process of the extension holds before it draws anything (its libraries,
//   mostly).
// - PeakMemory/<state>/<variant>: `render --presentation all` of each
//   sample state in each of the gallery's variants, at the default 3 pixels
//   a point. Each figure is the largest of the iterations; footprint_ratio
//   and rss_ratio are their ratios to the baseline's. Target: footprint_kB
//   at most 4,500 in every state and variant.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/SampleStates.h"
#include "platform/host/GalleryVariant.h"

extern char** environ;

namespace {

using bench::activity;

const std::filesystem::path& workDirectory() {
  static const std::filesystem::path directory = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "peak-memory-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return std::filesystem::path(pattern);
  }();
  return directory;
}

// The state's JSON as a file the command reads.
std::string stateFile(const WidgetKit::ActivityPreviewState& state) {
  const std::filesystem::path file = workDirectory() / (std::string(state.id) + ".json");
  if (!std::filesystem::exists(file)) std::ofstream(file) << state.json;
  return file.string();
}

// The command-line flags that select a gallery variant: each variant changes
// one setting, and its name is that flag's value.
std::vector<std::string> variantFlags(const Host::GalleryVariant& variant) {
  const Host::PictureVariant& p = variant.picture;
  std::vector<std::string> flags;
  if (p.appearance != Host::PictureVariant{}.appearance) {
    flags.insert(flags.end(), {"--appearance", std::string(variant.name)});
  }
  if (p.textSize != Host::PictureVariant{}.textSize) {
    flags.insert(flags.end(), {"--text-size", std::string(variant.name)});
  }
  if (p.screen != Host::PictureVariant{}.screen) {
    flags.insert(flags.end(), {"--screen", std::string(variant.name)});
  }
  return flags;
}

struct Peaks {
  long footprintKilobytes = 0;
  long rssKilobytes = 0;
};

// The footprint of process `pid` now, in kB: its private dirty and swapped
// pages. -1 once the process is gone.
long footprintKilobytes(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/smaps_rollup";
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return -1;
  long total = 0;
  bool read = false;
  char line[256];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    long kilobytes = 0;
    if (std::sscanf(line, "Private_Dirty: %ld kB", &kilobytes) == 1 ||
        std::sscanf(line, "Swap: %ld kB", &kilobytes) == 1) {
      total += kilobytes;
      read = true;
    }
  }
  std::fclose(file);
  return read ? total : -1;
}

// The peaks of one run of the extension with `arguments`, or nullopt when
// it fails.
std::optional<Peaks> run(const std::vector<std::string>& arguments) {
  std::vector<std::string> all{TOLVANE_EXTENSION_PATH};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  Peaks peaks;
  int status = 0;
  rusage usage{};
  for (;;) {
    const pid_t ended = wait4(child, &status, WNOHANG, &usage);
    if (ended == child) break;
    if (ended != 0) return std::nullopt;
    // Read while the child runs (after it exits, before it is reaped, the
    // file reads as empty).
    peaks.footprintKilobytes = std::max(peaks.footprintKilobytes, footprintKilobytes(child));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || peaks.footprintKilobytes <= 0) {
    return std::nullopt;
  }
  peaks.rssKilobytes = usage.ru_maxrss;
  return peaks;
}

Peaks baseline;

// A program just linked is still dirty in the page cache until the system
// writes it back (about 30 s), and its mapped code then counts as private
// dirty pages of every process that runs it (about 0.7 MB). Written back
// first, it counts as what it is: clean file pages.
void writeBackExtension() {
  static const bool done = [] {
    const int fd = ::open(TOLVANE_EXTENSION_PATH, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      ::fsync(fd);
      ::close(fd);
    }
    return true;
  }();
  (void)done;
}

void measure(benchmark::State& state, const std::vector<std::string>& arguments, bool isBaseline) {
  writeBackExtension();
  Peaks peaks;
  for (auto _ : state) {
    const std::optional<Peaks> one = run(arguments);
    if (!one) {
      state.SkipWithError("the command failed");
      return;
    }
    peaks.footprintKilobytes = std::max(peaks.footprintKilobytes, one->footprintKilobytes);
    peaks.rssKilobytes = std::max(peaks.rssKilobytes, one->rssKilobytes);
  }
  if (isBaseline) baseline = peaks;
  state.counters["footprint_kB"] = static_cast<double>(peaks.footprintKilobytes);
  state.counters["rss_kB"] = static_cast<double>(peaks.rssKilobytes);
  if (baseline.footprintKilobytes > 0) {
    state.counters["footprint_ratio"] = static_cast<double>(peaks.footprintKilobytes) /
                                        static_cast<double>(baseline.footprintKilobytes);
    state.counters["rss_ratio"] =
        static_cast<double>(peaks.rssKilobytes) / static_cast<double>(baseline.rssKilobytes);
  }
}

const bool registered = [] {
  const auto& states = activity().previews.states;
  benchmark::RegisterBenchmark(
      "PeakMemory/validate",
      [](benchmark::State& s) {
        measure(s, {"validate", stateFile(activity().previews.states.front())}, true);
      })
      ->Iterations(5)
      ->Unit(benchmark::kMillisecond);
  for (const auto& preview : states) {
    for (const auto& variant : Host::galleryVariants) {
      const std::string name = "PeakMemory/" + std::string(preview.id) + "/" +
                               (variant.name.empty() ? "default" : std::string(variant.name));
      benchmark::RegisterBenchmark(name.c_str(),
                                   [&preview, &variant](benchmark::State& s) {
                                     std::vector<std::string> arguments{
                                         "render", "--presentation", "all", "-o",
                                         (workDirectory() / "out").string()};
                                     const std::vector<std::string> flags = variantFlags(variant);
                                     arguments.insert(arguments.end(), flags.begin(), flags.end());
                                     arguments.push_back(stateFile(preview));
                                     measure(s, arguments, false);
                                   })
          ->Iterations(3)
          ->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace
