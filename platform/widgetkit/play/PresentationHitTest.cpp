#include "platform/widgetkit/play/PresentationHitTest.h"

#include <algorithm>

#include "platform/ui/Layout.h"
#include "platform/ui/Modifier.h"
#include "platform/ui/drawing/Chrome.h"
#include "platform/widgetkit/PresentationRenderer.h"

namespace WidgetKit {

namespace Drawing = SwiftUI::Drawing;
using SwiftUI::LayoutNode;
using SwiftUI::ProposedSize;
using SwiftUI::View;

namespace {

void collect(const LayoutNode& node, Drawing::Point offset, std::vector<ButtonRegion>& out) {
  if (node.view.kind() == SwiftUI::ViewKind::button) {
    const Drawing::Rect& f = node.frame();
    out.push_back({{f.x + offset.x, f.y + offset.y, f.width, f.height}, node.view});
  }
  for (const LayoutNode& child : node.children) collect(child, offset, out);
}

}  // namespace

std::vector<ButtonRegion> buttonRegions(const ActivityPresentations& presentations, PresentationKind kind,
                                        Foundation::Date now, const Drawing::TextMeasurer& measurer) {
  SwiftUI::LayoutEngine engine(measurer);
  std::vector<ButtonRegion> regions;
  if (kind == PresentationKind::lockScreen) {
    const View& view = presentations.lockScreen;
    const double width = Drawing::lockScreenContentWidth();
    const LayoutNode root = engine.layout(view, {width, std::nullopt}, {}, now);
    std::optional<Drawing::Paint> tint;
    if (const auto* m = view.modifier<SwiftUI::ActivityBackgroundTintModifier>()) tint = m->color;
    const Drawing::Chrome chrome = Drawing::lockScreenChrome(root.frame().height, tint);
    const double dx = (width - root.frame().width) / 2;
    collect(root, {chrome.content.x + dx, chrome.content.y}, regions);
  } else if (kind == PresentationKind::expanded) {
    const ExpandedRegionsLayout layout =
        layoutExpandedRegions(engine, presentations.dynamicIsland, Drawing::expandedContentWidth(), now);
    const Drawing::Chrome chrome = Drawing::expandedIslandChrome(layout.height, std::nullopt);
    for (const LayoutNode& region : layout.regions) {
      collect(region, {chrome.content.x, chrome.content.y}, regions);
    }
  }
  return regions;
}

const ButtonRegion* buttonAt(const std::vector<ButtonRegion>& regions, Drawing::Point point) {
  for (auto it = regions.rbegin(); it != regions.rend(); ++it) {
    const Drawing::Rect& f = it->frame;
    if (point.x >= f.x && point.x <= f.x + f.width && point.y >= f.y && point.y <= f.y + f.height) return &*it;
  }
  return nullptr;
}

}  // namespace WidgetKit
