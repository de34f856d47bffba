#pragma once

#include <tuple>

#include "activity/DownloadLiveActivity.h"
#include "platform/widgetkit/Widget.h"

namespace tolvane {

// The extension's widget bundle, its main type: one widget, the download
// Live Activity. Holds nothing.
struct TolvaneWidgetExtensionBundle {
  std::tuple<DownloadLiveActivity> body() const {
    return WidgetKit::WidgetBundleBuilder::buildBlock(DownloadLiveActivity());
  }
};

}  // namespace tolvane
