// Peak memory of the platform host's `render --presentation all`, each run a
// process of its own (its resident-set peak, ru_maxrss, read as the process
// ends).
//
// - PeakMemory/validate: the baseline, `validate` of a sample state: what a
//   process of the extension holds before it draws anything (its libraries,
//   mostly).
// - PeakMemory/<state>/<variant>: `render --presentation all` of each
//   sample state in each of the gallery's variants, at the default 3 pixels
//   a point. `peak_kB` is the largest peak of the iterations, `vs_validate`
//   its ratio to the baseline's. Target: peak_kB under 20,000 (20 MB).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "platform/host/GalleryVariant.h"
#include "platform/widgetkit/WidgetBundle.h"

extern char** environ;

namespace {

const WidgetKit::HostedActivity& activity() {
  static const auto hosted =
      WidgetKit::WidgetBundle::hostedActivity<tolvane::TolvaneWidgetExtensionBundle>();
  return hosted;
}

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

// The peak resident set of one run of the extension with `arguments`, in kB.
long peakKilobytes(const std::vector<std::string>& arguments) {
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
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return -1;
  }
  return usage.ru_maxrss;
}

double baselineKilobytes = 0;

void measure(benchmark::State& state, const std::vector<std::string>& arguments, bool baseline) {
  long peak = 0;
  for (auto _ : state) {
    const long kilobytes = peakKilobytes(arguments);
    if (kilobytes < 0) {
      state.SkipWithError("the command failed");
      return;
    }
    peak = std::max(peak, kilobytes);
  }
  if (baseline) baselineKilobytes = static_cast<double>(peak);
  state.counters["peak_kB"] = static_cast<double>(peak);
  if (baselineKilobytes > 0) {
    state.counters["vs_validate"] = static_cast<double>(peak) / baselineKilobytes;
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
