#pragma once

#include "model/DownloadActivityAttributes.h"
#include "platform/widgetkit/ActivityConfiguration.h"
#include "platform/widgetkit/HostedActivity.h"
#include "presentation/DownloadActivityViewContext.h"

namespace tolvane {

// The extension's one widget: the download Live Activity for
// DownloadActivityAttributes. Holds nothing.
//
// Its configuration's lock-screen content is DownloadLiveActivityView on a
// black background at 30 % opacity with white system controls; its Dynamic
// Island is the expanded content, the compact views and the minimal view of
// presentation/DynamicIslandViews.h, with the deep link
// "plumara://downloads" and a keyline in the phase colour. Both closures capture nothing and read
// only the context's state.
struct DownloadLiveActivity {
  WidgetKit::ActivityConfiguration<DownloadActivityAttributes> body() const;

  // The sample states of examples/ (gallery.json names them, with their
  // captions), built into the program as constant data for the platform
  // host's gallery.
  static WidgetKit::ActivityPreviews previews();
};

}  // namespace tolvane
