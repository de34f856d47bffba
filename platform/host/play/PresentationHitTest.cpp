#include "platform/host/play/PresentationHitTest.h"

namespace Host {

namespace Drawing = SwiftUI::Drawing;

namespace {

bool contains(const Drawing::Rect& r, Drawing::Point p) {
  return p.x >= r.x && p.x <= r.maxX() && p.y >= r.y && p.y <= r.maxY();
}

}  // namespace

const ButtonRegion* buttonAt(const std::vector<ButtonRegion>& regions, Drawing::Point point) {
  for (auto it = regions.rbegin(); it != regions.rend(); ++it) {
    if (contains(it->frame, point)) return &*it;
  }
  return nullptr;
}

std::string intentName(const ButtonRegion& region) {
  const auto* node = region.button.as<SwiftUI::ButtonNode>();
  return node ? std::string(node->intent.typeName()) : std::string();
}

TapTarget tapTarget(const PlacedPresentation& placed, Drawing::Point point) {
  if (const ButtonRegion* button = buttonAt(placed.buttons, point)) return {button, true};
  return {nullptr, contains(placed.chrome.shape, point)};
}

}  // namespace Host
