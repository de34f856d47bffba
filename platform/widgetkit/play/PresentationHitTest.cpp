#include "platform/widgetkit/play/PresentationHitTest.h"

#include <algorithm>

#include "platform/ui/Layout.h"
#include "platform/ui/Modifier.h"
#include "platform/ui/drawing/Chrome.h"

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
    // The regions placed as the renderer places them: the sides at their
    // ideal widths (at most a third), the centre between them, the bottom
    // below, 8 points apart.
    constexpr double gap = 8;
    const DynamicIsland& island = presentations.dynamicIsland;
    const double width = Drawing::expandedContentWidth();
    const auto content = [&](DynamicIslandExpandedRegionPosition position) {
      const DynamicIslandExpandedRegion* region = island.region(position);
      return region ? region->content : View();
    };
    const View leading = content(DynamicIslandExpandedRegionPosition::leading);
    const View trailing = content(DynamicIslandExpandedRegionPosition::trailing);
    const View center = content(DynamicIslandExpandedRegionPosition::center);
    const View bottom = content(DynamicIslandExpandedRegionPosition::bottom);
    const auto sideProposal = [&](const View& side) {
      const Drawing::Size ideal = engine.sizeThatFits(side, {}, now);
      return ProposedSize{std::min(ideal.width, width / 3), std::nullopt};
    };
    const ProposedSize leadingProposal = sideProposal(leading);
    const ProposedSize trailingProposal = sideProposal(trailing);
    const Drawing::Size leadingSize = engine.sizeThatFits(leading, leadingProposal, now);
    const Drawing::Size trailingSize = engine.sizeThatFits(trailing, trailingProposal, now);
    const double leadingColumn = leadingSize.width > 0 ? leadingSize.width + gap : 0;
    const double trailingColumn = trailingSize.width > 0 ? trailingSize.width + gap : 0;
    const double centerWidth = std::max(0.0, width - leadingColumn - trailingColumn);
    const ProposedSize centerProposal{centerWidth, std::nullopt};
    const Drawing::Size centerSize = engine.sizeThatFits(center, centerProposal, now);
    const double topHeight = std::max({leadingSize.height, centerSize.height, trailingSize.height});
    const ProposedSize bottomProposal{width, std::nullopt};
    const Drawing::Size bottomSize = engine.sizeThatFits(bottom, bottomProposal, now);
    const double bottomY = topHeight > 0 && bottomSize.height > 0 ? topHeight + gap : topHeight;
    const double height = bottomSize.height > 0 ? bottomY + bottomSize.height : topHeight;
    const Drawing::Chrome chrome = Drawing::expandedIslandChrome(height, std::nullopt);
    const Drawing::Point origin{chrome.content.x, chrome.content.y};
    collect(engine.layout(leading, leadingProposal, {0, 0}, now), origin, regions);
    collect(engine.layout(center, centerProposal, {leadingColumn + (centerWidth - centerSize.width) / 2, 0}, now),
            origin, regions);
    collect(engine.layout(trailing, trailingProposal, {width - trailingSize.width, 0}, now), origin, regions);
    collect(engine.layout(bottom, bottomProposal, {(width - bottomSize.width) / 2, bottomY}, now), origin,
            regions);
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
