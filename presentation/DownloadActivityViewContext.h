#pragma once

#include "model/DownloadActivityAttributes.h"
#include "platform/widgetkit/ActivityViewContext.h"

namespace tolvane {

// What every view of the download activity is built from: the platform's
// view context for DownloadActivityAttributes (the pushed state and the
// attributes). The lock-screen view, the island's builders and the widget's
// configuration all take it.
using DownloadActivityViewContext = WidgetKit::ActivityViewContext<DownloadActivityAttributes>;

}  // namespace tolvane
