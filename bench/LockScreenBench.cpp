// Cost of one lock-screen rendering's view tree: building it from a decoded
// content state, and with the decode and the describe output around it.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/TypicalState.h"
#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/ui/Describe.h"
#include "presentation/DownloadLiveActivityView.h"

namespace {

using bench::pinnedNow;
using bench::typicalState;

using bench::decodedState;

void BuildLockScreenTree(benchmark::State& state) {
  const tolvane::DownloadLiveActivityView view({decodedState(), {}, pinnedNow});
  for (auto _ : state) {
    SwiftUI::View tree = view.body();
    benchmark::DoNotOptimize(tree);
  }
}
BENCHMARK(BuildLockScreenTree);

void DecodeAndBuildLockScreenTree(benchmark::State& state) {
  Foundation::JSONDecoder decoder;
  for (auto _ : state) {
    auto decoded = decoder.decode<tolvane::ContentState>(typicalState);
    SwiftUI::View tree = tolvane::DownloadLiveActivityView({*decoded, {}, pinnedNow}).body();
    benchmark::DoNotOptimize(tree);
  }
}
BENCHMARK(DecodeAndBuildLockScreenTree);

void DescribeLockScreenTree(benchmark::State& state) {
  const SwiftUI::View tree =
      tolvane::DownloadLiveActivityView({decodedState(), {}, pinnedNow}).body();
  for (auto _ : state) {
    std::string json = SwiftUI::describe(tree, pinnedNow);
    benchmark::DoNotOptimize(json);
  }
}
BENCHMARK(DescribeLockScreenTree);

// Two trees built from equal states, compared node by node.
void CompareLockScreenTrees(benchmark::State& state) {
  const SwiftUI::View a = tolvane::DownloadLiveActivityView({decodedState(), {}, pinnedNow}).body();
  const SwiftUI::View b = tolvane::DownloadLiveActivityView({decodedState(), {}, pinnedNow}).body();
  for (auto _ : state) {
    bool equal = a == b;
    benchmark::DoNotOptimize(equal);
  }
}
BENCHMARK(CompareLockScreenTrees);

}  // namespace
