// The whole of an extension update: decoding the pushed state, then building
// all five presentations (lock screen, expanded, compact leading, compact
// trailing, minimal) from it, as the platform asks for them; each part alone
// and together, and the describe output of all five.
#include <benchmark/benchmark.h>

#include <string>

#include "activity/DownloadLiveActivity.h"
#include "bench/TypicalState.h"
#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/widgetkit/ActivityPresentations.h"

namespace {

using bench::pinnedNow;
using bench::typicalState;

tolvane::DownloadActivityViewContext decodedContext() {
  return {bench::decodedState(), {}, pinnedNow};
}

void DecodeState(benchmark::State& state) {
  Foundation::JSONDecoder decoder;
  for (auto _ : state) {
    auto decoded = decoder.decode<tolvane::ContentState>(typicalState);
    benchmark::DoNotOptimize(decoded);
  }
}
BENCHMARK(DecodeState);

void BuildLockScreen(benchmark::State& state) {
  const auto configuration = tolvane::DownloadLiveActivity().body();
  const auto context = decodedContext();
  for (auto _ : state) {
    SwiftUI::View lockScreen = configuration.content(context);
    benchmark::DoNotOptimize(lockScreen);
  }
}
BENCHMARK(BuildLockScreen);

// The expanded, compact and minimal presentations, with link and keyline.
void BuildDynamicIsland(benchmark::State& state) {
  const auto configuration = tolvane::DownloadLiveActivity().body();
  const auto context = decodedContext();
  for (auto _ : state) {
    WidgetKit::DynamicIsland island = configuration.dynamicIsland(context);
    benchmark::DoNotOptimize(island);
  }
}
BENCHMARK(BuildDynamicIsland);

void BuildAllFivePresentations(benchmark::State& state) {
  const auto configuration = tolvane::DownloadLiveActivity().body();
  const auto context = decodedContext();
  for (auto _ : state) {
    WidgetKit::ActivityPresentations presentations = configuration.presentations(context);
    benchmark::DoNotOptimize(presentations);
  }
}
BENCHMARK(BuildAllFivePresentations);

// One whole update: the JSON in, every presentation out.
void DecodeAndBuildAllFive(benchmark::State& state) {
  const auto configuration = tolvane::DownloadLiveActivity().body();
  Foundation::JSONDecoder decoder;
  for (auto _ : state) {
    auto decoded = decoder.decode<tolvane::ContentState>(typicalState);
    WidgetKit::ActivityPresentations presentations =
        configuration.presentations({std::move(*decoded), {}, pinnedNow});
    benchmark::DoNotOptimize(presentations);
  }
}
BENCHMARK(DecodeAndBuildAllFive);

void DescribeAllFive(benchmark::State& state) {
  const auto presentations = tolvane::DownloadLiveActivity().body().presentations(decodedContext());
  for (auto _ : state) {
    std::string json = WidgetKit::describe(presentations, pinnedNow);
    benchmark::DoNotOptimize(json);
  }
}
BENCHMARK(DescribeAllFive);

}  // namespace
