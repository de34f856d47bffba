// The whole of an extension update: decoding the pushed state, then building
// all five presentations (lock screen, expanded, compact leading, compact
// trailing, minimal) from it, as the platform asks for them; each part alone
// and together, and the describe output of all five.
#include <benchmark/benchmark.h>

#include <string>

#include "activity/DownloadLiveActivity.h"
#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/widgetkit/ActivityPresentations.h"

namespace {

// A typical state as the host app pushes it while downloading.
constexpr std::string_view typicalState =
    R"({"currentDownload":2,"totalDownloads":5,"overallProgress":0.42,"currentFileName":"Tallies.ipa",)"
    R"("appNames":["Lantern","Tallies","Quill","Loopcrafts","Clipsy"],"totalBytesDownloaded":1503238553,)"
    R"("totalBytesExpected":3579139413,"bytesPerSecond":6291456,"lastUpdateTime":818003725.5,)"
    R"("estimatedCompletionDate":818004055.5,"isCompleted":false,"isPaused":false,"phase":"downloading"})";

constexpr Foundation::Date pinnedNow(818003725.5);

tolvane::DownloadActivityViewContext decodedContext() {
  return {*Foundation::JSONDecoder().decode<tolvane::ContentState>(typicalState), {}};
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
  Foundation::PinnedCurrentDate pin(pinnedNow);
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
  Foundation::PinnedCurrentDate pin(pinnedNow);
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
  Foundation::PinnedCurrentDate pin(pinnedNow);
  const auto configuration = tolvane::DownloadLiveActivity().body();
  Foundation::JSONDecoder decoder;
  for (auto _ : state) {
    auto decoded = decoder.decode<tolvane::ContentState>(typicalState);
    WidgetKit::ActivityPresentations presentations = configuration.presentations({std::move(*decoded), {}});
    benchmark::DoNotOptimize(presentations);
  }
}
BENCHMARK(DecodeAndBuildAllFive);

void DescribeAllFive(benchmark::State& state) {
  Foundation::PinnedCurrentDate pin(pinnedNow);
  const auto presentations = tolvane::DownloadLiveActivity().body().presentations(decodedContext());
  for (auto _ : state) {
    std::string json = WidgetKit::describe(presentations, pinnedNow);
    benchmark::DoNotOptimize(json);
  }
}
BENCHMARK(DescribeAllFive);

}  // namespace
