#include "platform/widgetkit/DynamicIsland.h"

#include <cassert>
#include <utility>

namespace WidgetKit {

std::string_view nameOf(DynamicIslandExpandedRegionPosition position) {
  switch (position) {
    case DynamicIslandExpandedRegionPosition::leading: return "leading";
    case DynamicIslandExpandedRegionPosition::trailing: return "trailing";
    case DynamicIslandExpandedRegionPosition::center: return "center";
    case DynamicIslandExpandedRegionPosition::bottom: return "bottom";
  }
  return "center";
}

DynamicIsland::DynamicIsland(DynamicIslandExpandedContent expanded, SwiftUI::View compactLeading,
                             SwiftUI::View compactTrailing, SwiftUI::View minimal)
    : expanded_(std::move(expanded)),
      compactLeading_(std::move(compactLeading)),
      compactTrailing_(std::move(compactTrailing)),
      minimal_(std::move(minimal)) {
#ifndef NDEBUG
  for (std::size_t i = 0; i < expanded_.size(); ++i) {
    for (std::size_t j = i + 1; j < expanded_.size(); ++j) {
      assert(expanded_[i].position != expanded_[j].position &&
             "DynamicIsland: two expanded regions at one position");
    }
  }
#endif
}

DynamicIsland DynamicIsland::widgetURL(std::optional<std::string> url) const {
  DynamicIsland island = *this;
  island.widgetURL_ = std::move(url);
  return island;
}

DynamicIsland DynamicIsland::keylineTint(std::optional<SwiftUI::Color> color) const {
  DynamicIsland island = *this;
  island.keylineTint_ = color;
  return island;
}

const DynamicIslandExpandedRegion* DynamicIsland::region(
    DynamicIslandExpandedRegionPosition position) const {
  for (const DynamicIslandExpandedRegion& region : expanded_) {
    if (region.position == position) return &region;
  }
  return nullptr;
}

}  // namespace WidgetKit
