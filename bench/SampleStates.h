#pragma once

#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "platform/widgetkit/WidgetBundle.h"

// The extension as the host holds it, and its sample states' presentations
// at the previews' moment, decoded once, for the benchmarks that go through
// every sample state.
namespace bench {

inline const WidgetKit::HostedActivity& activity() {
  static const auto hosted =
      WidgetKit::WidgetBundle::hostedActivity<tolvane::TolvaneWidgetExtensionBundle>();
  return hosted;
}

// Each of activity().previews.states' presentations, in its order.
inline const std::vector<WidgetKit::ActivityPresentations>& samples() {
  static const auto all = [] {
    std::vector<WidgetKit::ActivityPresentations> out;
    for (const auto& state : activity().previews.states) {
      out.push_back(*activity().presentContentState(state.json, activity().previews.now));
    }
    return out;
  }();
  return all;
}

}  // namespace bench
