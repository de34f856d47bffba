#include "activity/DownloadLiveActivity.h"

#include "activity/DownloadActivityPreviews.h"
#include "presentation/DownloadLiveActivityView.h"
#include "presentation/DynamicIslandViews.h"
#include "presentation/PresentationRules.h"

namespace tolvane {

using SwiftUI::Color;
using SwiftUI::View;
using WidgetKit::DynamicIsland;

WidgetKit::ActivityConfiguration<DownloadActivityAttributes> DownloadLiveActivity::body() const {
  return WidgetKit::ActivityConfiguration<DownloadActivityAttributes>(
      [](const DownloadActivityViewContext& context) {
        return View(DownloadLiveActivityView{context})
            .applying(WidgetKit::activityBackgroundTint(Color::black.opacity(0.3)))
            .applying(WidgetKit::activitySystemActionForegroundColor(Color::white));
      },
      [](const DownloadActivityViewContext& context) {
        return DynamicIsland(expandedContent(context), compactLeadingView(context),
                             compactTrailingView(context), minimalView(context))
            .widgetURL("plumara://downloads")
            .keylineTint(phaseColor(effectivePhase(context.state)));
      });
}

WidgetKit::ActivityPreviews DownloadLiveActivity::previews() {
  return generated::previews;
}

}  // namespace tolvane
