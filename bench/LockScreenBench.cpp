// Cost of one lock-screen rendering's view tree: building it from a decoded
// content state, and with the decode and the describe output around it.
#include <benchmark/benchmark.h>

#include <string>

#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/ui/Describe.h"
#include "presentation/DownloadLiveActivityView.h"

namespace {

// A typical state as the host app pushes it while downloading.
constexpr std::string_view typicalState =
    R"({"currentDownload":2,"totalDownloads":5,"overallProgress":0.42,"currentFileName":"Tallies.ipa",)"
    R"("appNames":["Lantern","Tallies","Quill","Loopcrafts","Clipsy"],"totalBytesDownloaded":1503238553,)"
    R"("totalBytesExpected":3579139413,"bytesPerSecond":6291456,"lastUpdateTime":818003725.5,)"
    R"("estimatedCompletionDate":818004055.5,"isCompleted":false,"isPaused":false,"phase":"downloading"})";

constexpr Foundation::Date pinnedNow(818003725.5);

tolvane::ContentState decodedState() {
  return *Foundation::JSONDecoder().decode<tolvane::ContentState>(typicalState);
}

void BuildLockScreenTree(benchmark::State& state) {
  Foundation::PinnedCurrentDate pin(pinnedNow);
  const tolvane::DownloadLiveActivityView view({decodedState(), {}});
  for (auto _ : state) {
    SwiftUI::View tree = view.body();
    benchmark::DoNotOptimize(tree);
  }
}
BENCHMARK(BuildLockScreenTree);

void DecodeAndBuildLockScreenTree(benchmark::State& state) {
  Foundation::PinnedCurrentDate pin(pinnedNow);
  Foundation::JSONDecoder decoder;
  for (auto _ : state) {
    auto decoded = decoder.decode<tolvane::ContentState>(typicalState);
    SwiftUI::View tree = tolvane::DownloadLiveActivityView({*decoded, {}}).body();
    benchmark::DoNotOptimize(tree);
  }
}
BENCHMARK(DecodeAndBuildLockScreenTree);

void DescribeLockScreenTree(benchmark::State& state) {
  Foundation::PinnedCurrentDate pin(pinnedNow);
  const SwiftUI::View tree = tolvane::DownloadLiveActivityView({decodedState(), {}}).body();
  for (auto _ : state) {
    std::string json = SwiftUI::describe(tree, pinnedNow);
    benchmark::DoNotOptimize(json);
  }
}
BENCHMARK(DescribeLockScreenTree);

// Two trees built from equal states, compared node by node.
void CompareLockScreenTrees(benchmark::State& state) {
  Foundation::PinnedCurrentDate pin(pinnedNow);
  const SwiftUI::View a = tolvane::DownloadLiveActivityView({decodedState(), {}}).body();
  const SwiftUI::View b = tolvane::DownloadLiveActivityView({decodedState(), {}}).body();
  for (auto _ : state) {
    bool equal = a == b;
    benchmark::DoNotOptimize(equal);
  }
}
BENCHMARK(CompareLockScreenTrees);

}  // namespace
