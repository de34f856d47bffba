#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Color.h"
#include "platform/ui/View.h"

namespace WidgetKit {

// Where an expanded region sits in the expanded island: leading and
// trailing beside the camera, center below it, bottom across the whole
// width under the others.
enum class DynamicIslandExpandedRegionPosition : std::uint8_t { leading, trailing, center, bottom };

// "leading", "trailing", "center" or "bottom".
std::string_view nameOf(DynamicIslandExpandedRegionPosition position);

// One region of the expanded island: its position, its priority (a region
// of higher priority is given its width first; equal priorities share) and
// its content.
struct DynamicIslandExpandedRegion {
  DynamicIslandExpandedRegionPosition position = DynamicIslandExpandedRegionPosition::center;
  double priority = 0;
  SwiftUI::View content;

  friend bool operator==(const DynamicIslandExpandedRegion&,
                         const DynamicIslandExpandedRegion&) = default;
};

// The regions of the expanded island in the order they were declared.
using DynamicIslandExpandedContent = std::vector<DynamicIslandExpandedRegion>;

// An activity's presentations in the Dynamic Island, as its configuration's
// dynamicIsland closure returns them: the expanded regions, the views on
// either side of the camera while the activity is alone in the island
// (compact leading and trailing), the view it gets when the island is
// shared (minimal), the link the platform opens when the island is tapped
// outside a button, and the tint of the island's keyline.
//
// A value: it owns its views, and its two modifiers return a changed copy.
//
//   DynamicIsland(expanded, leading, trailing, minimal)
//       .widgetURL("plumara://downloads")
//       .keylineTint(Color::blue)
//
// Each position appears at most once among the expanded regions (asserted
// in debug builds); a position not declared shows nothing.
class DynamicIsland {
 public:
  DynamicIsland(DynamicIslandExpandedContent expanded, SwiftUI::View compactLeading,
                SwiftUI::View compactTrailing, SwiftUI::View minimal);

  // The same island with the link the platform hands the host app when the
  // user taps the island outside a button (nullopt: none). The URL is kept
  // as its absolute string.
  DynamicIsland widgetURL(std::optional<std::string> url) const;
  // The same island with its keyline drawn in `color` (nullopt: the
  // platform's).
  DynamicIsland keylineTint(std::optional<SwiftUI::Color> color) const;

  const DynamicIslandExpandedContent& expanded() const { return expanded_; }
  // The region declared at `position`, else nullptr (valid as long as this
  // island).
  const DynamicIslandExpandedRegion* region(DynamicIslandExpandedRegionPosition position) const;
  const SwiftUI::View& compactLeading() const { return compactLeading_; }
  const SwiftUI::View& compactTrailing() const { return compactTrailing_; }
  const SwiftUI::View& minimal() const { return minimal_; }
  const std::optional<std::string>& widgetURLValue() const { return widgetURL_; }
  const std::optional<SwiftUI::Color>& keylineTintValue() const { return keylineTint_; }

  friend bool operator==(const DynamicIsland&, const DynamicIsland&) = default;

 private:
  DynamicIslandExpandedContent expanded_;
  SwiftUI::View compactLeading_;
  SwiftUI::View compactTrailing_;
  SwiftUI::View minimal_;
  std::optional<std::string> widgetURL_;
  std::optional<SwiftUI::Color> keylineTint_;
};

}  // namespace WidgetKit
