// formatAppNames on short and long lists. The walk is linear in the total
// length of the names, so the time per name walked must stay flat from 5
// names to 5,000; the "per_name" counter reports it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "presentation/FormatAppNames.h"

namespace {

std::vector<std::string> appNames(std::int64_t count, bool mixedScripts) {
  static const char* const ascii[] = {"Notes", "Weather Pro", "Photo Editor", "Maps", "Podcasts"};
  static const char* const mixed[] = {"Cafe\u0301 Finder",
                                      "\u0928\u092E\u0938\u094D\u0924\u0947 Yoga",
                                      "\U0001F468\u200D\U0001F469\u200D\U0001F467 Family",
                                      "\U0001F1EB\U0001F1F7 Travel", "Z\u00FCrich Transit"};
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    names.emplace_back((mixedScripts ? mixed : ascii)[i % 5]);
  }
  return names;
}

void run(benchmark::State& state, bool mixedScripts, std::int64_t maxLength) {
  const std::vector<std::string> names = appNames(state.range(0), mixedScripts);
  for (auto _ : state) benchmark::DoNotOptimize(tolvane::formatAppNames(names, maxLength));
  if (maxLength == std::numeric_limits<std::int64_t>::max()) {
    state.counters["per_name"] = benchmark::Counter(
        static_cast<double>(names.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  }
}

// A limit that every list fits, so every name is walked and joined.
constexpr std::int64_t kAllFit = std::numeric_limits<std::int64_t>::max();

void AllFitASCII(benchmark::State& state) {
  run(state, false, kAllFit);
}
void AllFitMixedScripts(benchmark::State& state) {
  run(state, true, kAllFit);
}
// The lock-screen limit: the walk stops after a few names whatever the list's
// length, so the time per call stays flat instead.
void LockScreenLimitMixedScripts(benchmark::State& state) {
  run(state, true, 35);
}

BENCHMARK(AllFitASCII)->Arg(5)->Arg(5000);
BENCHMARK(AllFitMixedScripts)->Arg(5)->Arg(5000);
BENCHMARK(LockScreenLimitMixedScripts)->Arg(5)->Arg(5000);

}  // namespace
