#pragma once

#include "platform/ui/View.h"
#include "platform/widgetkit/DynamicIsland.h"
#include "presentation/DownloadActivityViewContext.h"

// The download activity in the Dynamic Island. Each builder takes its own
// copy of the activity's view context, reads only context.state, and
// recomputes everything from it through the presentation rules, always by
// the effective phase. None keeps state; none but the expanded form's phase
// badge is a button (a tap elsewhere follows the island's deep link).
namespace tolvane {

// The expanded island: four regions, all at priority 0, declared center,
// leading, trailing, bottom. Everything lives in the center region, a
// column of the app names (shortened at 30 characters), a progress row
// (phase badge 24/2, the bar drawn 1.5 times its height, and the speed while
// downloading or the phase label otherwise), the bytes row (only while
// downloading or paused) and the summary line ("Downloading 42%", or with
// two or more downloads "Paused 50% • 3/7"). Leading, trailing and bottom
// are empty.
WidgetKit::DynamicIslandExpandedContent expandedContent(DownloadActivityViewContext context);

// The ring the compact leading and minimal views share: a faint full track
// and an arc from the top, clockwise to overallProgress as it is (also when
// completed, unlike the badge's full circle), both with line width 2 and
// framed size × size, and the phase symbol at iconSize points, all in the
// phase colour. Never a button.
SwiftUI::View islandRing(DownloadActivityViewContext context, double size, double iconSize);

// The ring at 20 with a 10-point symbol, then one invisible space that only
// reserves its width.
SwiftUI::View compactLeadingView(DownloadActivityViewContext context);

// Completed: a green done mark (a filled check circle and "Done").
// Otherwise the percentage ("42%") in the phase colour.
SwiftUI::View compactTrailingView(DownloadActivityViewContext context);

// The ring at 18 with a 9-point symbol, alone.
SwiftUI::View minimalView(DownloadActivityViewContext context);

}  // namespace tolvane
