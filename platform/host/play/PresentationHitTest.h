#pragma once

#include <vector>

#include "platform/foundation/Date.h"
#include "platform/host/Host.h"
#include "platform/ui/drawing/Geometry.h"
#include "platform/ui/drawing/TextMeasurer.h"
#include "platform/widgetkit/ActivityPresentations.h"
#include "platform/widgetkit/PresentationRenderer.h"

// Taps on a presentation's picture, read from where PresentationRenderer
// placed it (PlacedPresentation): points are in the picture's points from
// its top-left corner.
namespace Host {

// The buttons of one presentation as placed on its picture at the given
// screen size (none in the compact and minimal islands). Cost: one
// placement; a caller that also draws the presentation can read
// PlacedPresentation::buttons instead.
std::vector<ButtonRegion> buttonRegions(const ActivityPresentations& presentations,
                                        PresentationKind kind, Foundation::Date now,
                                        const SwiftUI::Drawing::TextMeasurer& measurer,
                                        ScreenSize screen = ScreenSize::standard);

// The button at `point`, if any (the last drawn wins).
const ButtonRegion* buttonAt(const std::vector<ButtonRegion>& regions,
                             SwiftUI::Drawing::Point point);

// What a tap at `point` reaches: a button; else the presentation itself,
// anywhere on its shape (an island then opens its widget URL); else nothing
// (the backdrop around it).
struct TapTarget {
  const ButtonRegion* button = nullptr;
  bool onPresentation = false;
};
TapTarget tapTarget(const PlacedPresentation& placed, SwiftUI::Drawing::Point point);

}  // namespace Host
