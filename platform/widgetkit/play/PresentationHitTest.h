#pragma once

#include <vector>

#include "platform/foundation/Date.h"
#include "platform/ui/View.h"
#include "platform/ui/drawing/Geometry.h"
#include "platform/ui/drawing/TextMeasurer.h"
#include "platform/widgetkit/ActivityPresentations.h"
#include "platform/widgetkit/PresentationRenderer.h"

namespace WidgetKit {

// A button of a presentation and where it lies on the presentation's
// picture, in points from the canvas's top-left corner.
struct ButtonRegion {
  SwiftUI::Drawing::Rect frame;
  SwiftUI::View button;
};

// The buttons of one presentation, placed as PresentationRenderer places
// its views (the lock-screen card and the expanded island's regions; the
// compact and minimal islands hold no button the platform lets a user tap).
// Cost: one layout of the presentation.
std::vector<ButtonRegion> buttonRegions(const ActivityPresentations& presentations, PresentationKind kind,
                                        Foundation::Date now, const SwiftUI::Drawing::TextMeasurer& measurer);

// The button at `point`, if any (the last drawn wins).
const ButtonRegion* buttonAt(const std::vector<ButtonRegion>& regions, SwiftUI::Drawing::Point point);

}  // namespace WidgetKit
