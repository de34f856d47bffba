#pragma once

#include <string>
#include <vector>

#include "platform/host/Host.h"
#include "platform/ui/drawing/Geometry.h"
#include "platform/widgetkit/PresentationRenderer.h"

// Taps on a presentation's picture, read from where PresentationRenderer
// placed it (PlacedPresentation): points are in the picture's points from
// its top-left corner.
namespace Host {

// The button among a placement's buttons (PlacedPresentation::buttons) at
// `point`, if any (the last drawn wins).
const ButtonRegion* buttonAt(const std::vector<ButtonRegion>& regions,
                             SwiftUI::Drawing::Point point);

// The type name of the intent a button region runs ("" for a region that is
// not a button).
std::string intentName(const ButtonRegion& region);

// What a tap at `point` reaches: a button; else the presentation itself,
// anywhere on its shape (an island then opens its widget URL); else nothing
// (the backdrop around it).
struct TapTarget {
  const ButtonRegion* button = nullptr;
  bool onPresentation = false;
};
TapTarget tapTarget(const PlacedPresentation& placed, SwiftUI::Drawing::Point point);

}  // namespace Host
