#include "platform/widgetkit/PresentationRenderer.h"

#include <algorithm>
#include <vector>

#include "platform/ui/Modifier.h"

namespace WidgetKit {

using SwiftUI::LayoutNode;
using SwiftUI::ProposedSize;
using SwiftUI::View;
namespace Drawing = SwiftUI::Drawing;
using Drawing::DrawList;
using Drawing::Point;
using Drawing::Size;

namespace {

constexpr double regionGap = 8;
// Keeps a 20-pt ring concentric with the compact pill's rounded end.
constexpr double compactInset = (islandHeight - 20) / 2;

// The buttons under `node` in contents[content], cut to the shape.
void collectButtons(PlacedPresentation& placed, std::size_t content, const LayoutNode& node) {
  if (node.view.kind() == SwiftUI::ViewKind::button) {
    const Drawing::Rect frame = placed.onCanvas(content, node.frame());
    const Drawing::Rect& shape = placed.chrome.shape;
    const double x = std::max(frame.x, shape.x), y = std::max(frame.y, shape.y);
    const double maxX = std::min(frame.maxX(), shape.maxX());
    const double maxY = std::min(frame.maxY(), shape.maxY());
    if (maxX > x && maxY > y) placed.buttons.push_back({{x, y, maxX - x, maxY - y}, node.view});
  }
  for (const LayoutNode& child : node.children) collectButtons(placed, content, child);
}

}  // namespace

std::string_view nameOf(PresentationKind kind) {
  switch (kind) {
    case PresentationKind::lockScreen: return "lock-screen";
    case PresentationKind::expanded: return "expanded";
    case PresentationKind::compact: return "compact";
    case PresentationKind::minimal: return "minimal";
  }
  return "lock-screen";
}

std::optional<PresentationKind> presentationKind(std::string_view name) {
  for (PresentationKind kind : allPresentationKinds) {
    if (nameOf(kind) == name) return kind;
  }
  return std::nullopt;
}

std::string_view nameOf(PictureFormat format) {
  return format == PictureFormat::svg ? "svg" : "png";
}

Drawing::Rect PlacedPresentation::onCanvas(std::size_t content, const Drawing::Rect& frame) const {
  const Drawing::Rect& area = chrome.content.at(content);
  const Point offset = contents.at(content).offset;
  return {area.x + offset.x + frame.x, area.y + offset.y + frame.y, frame.width, frame.height};
}

PlacedPresentation PresentationRenderer::place(const ActivityPresentations& presentations,
                                               PresentationKind kind, Foundation::Date now) {
  PlacedPresentation placed;
  switch (kind) {
    case PresentationKind::lockScreen: placed = lockScreen(presentations, now); break;
    case PresentationKind::expanded: placed = expanded(presentations, now); break;
    case PresentationKind::compact: placed = compact(presentations, now); break;
    case PresentationKind::minimal: placed = minimal(presentations, now); break;
  }
  placed.kind = kind;
  if (kind == PresentationKind::lockScreen || kind == PresentationKind::expanded) {
    for (std::size_t i = 0; i < placed.contents.size(); ++i) {
      for (const LayoutNode& node : placed.contents[i].nodes) collectButtons(placed, i, node);
    }
  }
  return placed;
}

Picture PresentationRenderer::picture(const PlacedPresentation& placed) {
  std::vector<DrawList> lists;
  lists.reserve(placed.contents.size());
  for (const PlacedPresentation::Content& content : placed.contents) {
    DrawList& list = lists.emplace_back();
    const bool moved = content.offset != Point{};
    if (moved) {
      list.emplace_back(Drawing::PushTransform{
          Drawing::AffineTransform::translation(content.offset.x, content.offset.y)});
    }
    for (const LayoutNode& node : content.nodes) Drawing::append(list, SwiftUI::drawCommands(node));
    if (moved) list.emplace_back(Drawing::PopTransform{});
  }
  return {placed.chrome.canvas, placed.chrome.compose(lists), placed.appearance};
}

PlacedPresentation PresentationRenderer::lockScreen(const ActivityPresentations& presentations,
                                                    Foundation::Date now) {
  const View& view = presentations.lockScreen;
  const double width = lockScreenContentWidth(variant_.screen);
  LayoutNode root = engine_.layout(view, {width, std::nullopt}, {}, now);
  std::optional<Drawing::Paint> tint;
  if (const auto* m = view.modifier<SwiftUI::ActivityBackgroundTintModifier>()) tint = m->color;
  PlacedPresentation placed;
  placed.appearance = variant_.appearance;
  placed.chrome = lockScreenChrome(root.frame().height, tint, variant_.screen, variant_.appearance);
  // A view narrower than the card is centred on it.
  const Point offset{(width - root.frame().width) / 2, 0};
  placed.contents.push_back({offset, {std::move(root)}, {"lockScreen"}});
  return placed;
}

PlacedPresentation PresentationRenderer::expanded(const ActivityPresentations& presentations,
                                                  Foundation::Date now) {
  const DynamicIsland& island = presentations.dynamicIsland;
  const double width = expandedContentWidth(variant_.screen);
  const auto content = [&](DynamicIslandExpandedRegionPosition position) {
    const DynamicIslandExpandedRegion* region = island.region(position);
    return region ? region->content : View();
  };
  const View leading = content(DynamicIslandExpandedRegionPosition::leading);
  const View trailing = content(DynamicIslandExpandedRegionPosition::trailing);
  const View center = content(DynamicIslandExpandedRegionPosition::center);
  const View bottom = content(DynamicIslandExpandedRegionPosition::bottom);

  // The sides first, at their ideal widths up to a third of the island.
  const auto sideProposal = [&](const View& side) {
    const Size ideal = engine_.sizeThatFits(side, {}, now);
    return ProposedSize{std::min(ideal.width, width / 3), std::nullopt};
  };
  const ProposedSize leadingProposal = sideProposal(leading);
  const ProposedSize trailingProposal = sideProposal(trailing);
  const Size leadingSize = engine_.sizeThatFits(leading, leadingProposal, now);
  const Size trailingSize = engine_.sizeThatFits(trailing, trailingProposal, now);
  const double leadingColumn = leadingSize.width > 0 ? leadingSize.width + regionGap : 0;
  const double trailingColumn = trailingSize.width > 0 ? trailingSize.width + regionGap : 0;
  const double centerWidth = std::max(0.0, width - leadingColumn - trailingColumn);
  const ProposedSize centerProposal{centerWidth, std::nullopt};
  const Size centerSize = engine_.sizeThatFits(center, centerProposal, now);
  const double topHeight = std::max({leadingSize.height, centerSize.height, trailingSize.height});
  const ProposedSize bottomProposal{width, std::nullopt};
  const Size bottomSize = engine_.sizeThatFits(bottom, bottomProposal, now);
  const double bottomY = topHeight > 0 && bottomSize.height > 0 ? topHeight + regionGap : topHeight;
  const double height = bottomSize.height > 0 ? bottomY + bottomSize.height : topHeight;

  std::vector<LayoutNode> regions;
  regions.push_back(engine_.layout(leading, leadingProposal, {0, 0}, now));
  regions.push_back(engine_.layout(center, centerProposal,
                                   {leadingColumn + (centerWidth - centerSize.width) / 2, 0}, now));
  regions.push_back(
      engine_.layout(trailing, trailingProposal, {width - trailingSize.width, 0}, now));
  regions.push_back(
      engine_.layout(bottom, bottomProposal, {(width - bottomSize.width) / 2, bottomY}, now));

  std::optional<Drawing::Paint> keyline;
  if (island.keylineTintValue()) keyline = *island.keylineTintValue();
  PlacedPresentation placed;
  placed.chrome = expandedIslandChrome(height, keyline, variant_.screen);
  placed.contents.push_back({{}, std::move(regions), {"leading", "center", "trailing", "bottom"}});
  return placed;
}

PlacedPresentation PresentationRenderer::compact(const ActivityPresentations& presentations,
                                                 Foundation::Date now) {
  const DynamicIsland& island = presentations.dynamicIsland;
  PlacedPresentation placed;
  placed.chrome = compactIslandChrome(variant_.screen);
  const auto side = [&](const View& view, const Drawing::Rect& area, bool leading) {
    // The island keeps its height: a text offered it shows the lines that
    // fit, the last cut with "…", as in any fixed-height frame.
    const ProposedSize proposal{std::max(0.0, area.width - compactInset), area.height};
    const Size size = engine_.sizeThatFits(view, proposal, now);
    const Point origin{leading ? compactInset : area.width - compactInset - size.width,
                       (area.height - size.height) / 2};
    placed.contents.push_back({{},
                               {engine_.layout(view, proposal, origin, now)},
                               {leading ? "compactLeading" : "compactTrailing"}});
  };
  side(island.compactLeading(), placed.chrome.content[0], true);
  side(island.compactTrailing(), placed.chrome.content[1], false);
  return placed;
}

PlacedPresentation PresentationRenderer::minimal(const ActivityPresentations& presentations,
                                                 Foundation::Date now) {
  LayoutNode root = engine_.layout(presentations.dynamicIsland.minimal(), {}, {}, now);
  PlacedPresentation placed;
  placed.chrome = minimalIslandChrome(root.frame().size());
  placed.contents.push_back({{}, {std::move(root)}, {"minimal"}});
  return placed;
}

Drawing::OutputResult<void> encodePicture(const Picture& picture, PictureFormat format,
                                          double scale, std::string& out) {
  const Drawing::RenderOptions options{scale, picture.appearance};
  if (format == PictureFormat::svg) {
    return Drawing::renderSVG(picture.list, picture.canvas, options, out);
  }
  return Drawing::encodePNG(picture.list, picture.canvas, options, out);
}

Drawing::OutputResult<void> writePicture(const Picture& picture, PictureFormat format, double scale,
                                         const std::string& path) {
  std::string bytes;
  if (auto encoded = encodePicture(picture, format, scale, bytes); !encoded) return encoded;
  return Drawing::writeFile(path, bytes.data(), bytes.size());
}

}  // namespace WidgetKit
