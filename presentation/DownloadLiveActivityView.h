#pragma once

#include "platform/ui/View.h"
#include "presentation/DownloadActivityViewContext.h"

namespace tolvane {

// The download activity on the lock screen and in the notification banner.
// Top to bottom: a header row (the phase badge, the app names over a status
// line, and the percentage) and a progress block (the bar, and a footer with
// the speed or the phase, the time remaining and the bytes transferred).
//
// A value holding its copy of the context; body() reads only context.state
// and the current date (context.date) and recomputes everything from them.
// The time-remaining count-down starts at that date; it shows only while
// downloading with an estimate that is not earlier than that moment: a stale
// estimate hides the group, like an absent one. Built as
// DownloadLiveActivityView(context).
struct DownloadLiveActivityView {
  DownloadActivityViewContext context;

  SwiftUI::View body() const;
};

}  // namespace tolvane
