#include "platform/widgetkit/Chrome.h"

#include <algorithm>

namespace WidgetKit {

using namespace SwiftUI::Drawing;

namespace {

constexpr double lockCornerRadius = 22;
constexpr double islandCornerRadius = 44;
constexpr double expandedTopInset = islandHeight;
constexpr double expandedSideInset = 20;
constexpr double expandedBottomInset = 16;
constexpr double minimalPadding = 8;
constexpr double keylineWidth = 1;

double screenCardWidth(ScreenSize screen) {
  return screen == ScreenSize::large ? 408 : 371;
}
double compactWidth(ScreenSize screen) {
  return screen == ScreenSize::large ? 250 : 230;
}
double compactAreaWidth(ScreenSize screen) {
  return screen == ScreenSize::large ? 62.33 : 52.33;
}

double clampHeight(double h) {
  return std::clamp(h != h ? 0 : h, 84.0, 160.0);
}

Size canvasAround(const Rect& shape) {
  return {shape.width + 2 * chromeMargin, shape.height + 2 * chromeMargin};
}

DrawList contentAt(const Rect& rect, const DrawList& list) {
  DrawList out;
  out.reserve(list.size() + 2);
  out.emplace_back(PushTransform{AffineTransform::translation(rect.x, rect.y)});
  append(out, list);
  out.emplace_back(PopTransform{});
  return out;
}

RGBA lockScreenMaterial(Appearance appearance) {
  return appearance == Appearance::light ? RGBA::bytes(242, 242, 247, 0.88)
                                         : RGBA::bytes(255, 255, 255, 0.12);
}

}  // namespace

std::string_view nameOf(ScreenSize screen) {
  return screen == ScreenSize::large ? "430x932" : "393x852";
}

std::optional<ScreenSize> screenSizeNamed(std::string_view name) {
  for (ScreenSize screen : allScreenSizes) {
    if (nameOf(screen) == name) return screen;
  }
  return std::nullopt;
}

FillLinearGradient backdrop(Size canvas) {
  return FillLinearGradient{{0, 0, canvas.width, canvas.height},
                            {0, 0},
                            {canvas.width, canvas.height},
                            {{0, RGBA::bytes(24, 38, 78)},
                             {0.55, RGBA::bytes(58, 40, 96)},
                             {1, RGBA::bytes(96, 44, 88)}}};
}

DrawList Chrome::compose(const std::vector<DrawList>& contentLists) const {
  DrawList out = background;
  for (std::size_t i = 0; i < contentLists.size() && i < content.size(); ++i) {
    append(out, contentAt(content[i], contentLists[i]));
  }
  append(out, foreground);
  return out;
}

double lockScreenContentWidth(ScreenSize screen) {
  return screenCardWidth(screen);
}

double expandedContentWidth(ScreenSize screen) {
  return screenCardWidth(screen) - 2 * expandedSideInset;
}

Chrome lockScreenChrome(double contentHeight, const std::optional<Paint>& backgroundTint,
                        ScreenSize screen, Appearance appearance) {
  Chrome c;
  c.shape = {chromeMargin, chromeMargin, screenCardWidth(screen), clampHeight(contentHeight)};
  c.canvas = canvasAround(c.shape);
  const double y =
      contentHeight < c.shape.height ? c.shape.y + (c.shape.height - contentHeight) / 2 : c.shape.y;
  c.content = {{c.shape.x, y, c.shape.width, contentHeight}};
  c.background = {
      backdrop(c.canvas),
      FillRoundedRect{c.shape, lockCornerRadius, lockScreenMaterial(appearance)},
  };
  if (backgroundTint)
    c.background.emplace_back(FillRoundedRect{c.shape, lockCornerRadius, *backgroundTint});
  c.background.emplace_back(PushClip{c.shape, lockCornerRadius});
  c.foreground = {PopClip{}};
  return c;
}

namespace {

// The island's black shape with rounded ends over the backdrop; what the
// presentation draws is clipped to it.
void islandShape(Chrome& c, double cornerRadius) {
  c.background = {
      backdrop(c.canvas),
      FillRoundedRect{c.shape, cornerRadius, RGBA::bytes(0, 0, 0)},
      PushClip{c.shape, cornerRadius},
  };
  c.foreground = {PopClip{}};
}

}  // namespace

Chrome expandedIslandChrome(double contentHeight, const std::optional<Paint>& keylineTint,
                            ScreenSize screen) {
  Chrome c;
  const double insets = expandedTopInset + expandedBottomInset;
  c.shape = {chromeMargin, chromeMargin, screenCardWidth(screen),
             clampHeight(contentHeight + insets)};
  c.canvas = canvasAround(c.shape);
  const double room = c.shape.height - insets;
  const double y = c.shape.y + expandedTopInset + std::max(0.0, (room - contentHeight) / 2);
  c.content = {
      {c.shape.x + expandedSideInset, y, c.shape.width - 2 * expandedSideInset, contentHeight}};
  islandShape(c, islandCornerRadius);
  if (keylineTint) {
    const double half = keylineWidth / 2;
    c.foreground.emplace_back(StrokeRoundedRect{c.shape.insetBy(half, half),
                                                islandCornerRadius - half,
                                                StrokeStyle{keylineWidth}, *keylineTint});
  }
  return c;
}

Chrome compactIslandChrome(ScreenSize screen) {
  Chrome c;
  c.shape = {chromeMargin, chromeMargin, compactWidth(screen), islandHeight};
  c.canvas = canvasAround(c.shape);
  const double area = compactAreaWidth(screen);
  c.content = {{c.shape.x, c.shape.y, area, islandHeight},
               {c.shape.maxX() - area, c.shape.y, area, islandHeight}};
  islandShape(c, islandHeight / 2);
  return c;
}

Chrome minimalIslandChrome(Size contentSize) {
  Chrome c;
  const double w = contentSize.width != contentSize.width ? 0 : contentSize.width;
  c.shape = {chromeMargin, chromeMargin, std::clamp(w + 2 * minimalPadding, islandHeight, 45.0),
             islandHeight};
  c.canvas = canvasAround(c.shape);
  c.content = {{c.shape.midX() - contentSize.width / 2, c.shape.midY() - contentSize.height / 2,
                contentSize.width, contentSize.height}};
  islandShape(c, islandHeight / 2);
  return c;
}

}  // namespace WidgetKit
