#include "platform/ui/drawing/Symbols.h"

#include <algorithm>
#include <numbers>

namespace SwiftUI::Drawing {

namespace {

constexpr double pi = std::numbers::pi;

Path circlePath(Point c, double r) {
  Path p;
  p.arc(c, r, 0, 2 * pi).close();
  return p;
}

// A rectangle with corners of radius r, clockwise from the top-left corner.
Path roundedRectPath(double x0, double y0, double x1, double y1, double r) {
  Path p;
  p.arc({x1 - r, y0 + r}, r, -pi / 2, pi / 2)
      .arc({x1 - r, y1 - r}, r, 0, pi / 2)
      .arc({x0 + r, y1 - r}, r, pi / 2, pi / 2)
      .arc({x0 + r, y0 + r}, r, pi, pi / 2)
      .close();
  return p;
}

Path polyline(std::initializer_list<Point> points) {
  Path p;
  bool first = true;
  for (Point q : points) {
    if (first)
      p.move(q);
    else
      p.line(q);
    first = false;
  }
  return p;
}

std::vector<SymbolGlyph> makeGlyphs() {
  using Mode = SymbolPart::Mode;
  std::vector<SymbolGlyph> glyphs;

  // A circle with two hands from the centre: to 12, and a shorter one toward 3.
  glyphs.push_back({"clock",
                    {{circlePath({0.5, 0.5}, 0.42), Mode::stroke, 1},
                     {polyline({{0.5, 0.22}, {0.5, 0.5}, {0.7, 0.5}}), Mode::stroke, 1}}});

  // A vertical stem with an open V head at the bottom.
  glyphs.push_back({"arrow.down",
                    {{polyline({{0.5, 0.08}, {0.5, 0.9}}), Mode::stroke, 1},
                     {polyline({{0.18, 0.58}, {0.5, 0.9}, {0.82, 0.58}}), Mode::stroke, 1}}});

  // Two equal rounded vertical bars.
  glyphs.push_back({"pause.fill",
                    {{roundedRectPath(0.2, 0.12, 0.4, 0.88, 0.06), Mode::fill, 1},
                     {roundedRectPath(0.6, 0.12, 0.8, 0.88, 0.06), Mode::fill, 1}}});

  // A solid box seen slightly from above: its hexagonal silhouette, the
  // edges of the top face and the front corner cut out as thin gaps, and a
  // tape strip across the top (two parallel gaps running front to back).
  glyphs.push_back(
      {"shippingbox.fill",
       {{polyline({{0.5, 0.1}, {0.9, 0.28}, {0.9, 0.72}, {0.5, 0.9}, {0.1, 0.72}, {0.1, 0.28}})
             .close(),
         Mode::fillAndStroke, 1},
        {polyline({{0.1, 0.28}, {0.5, 0.46}, {0.9, 0.28}}), Mode::cutOutStroke, 0.6},
        {polyline({{0.5, 0.46}, {0.5, 0.95}}), Mode::cutOutStroke, 0.6},
        {polyline({{0.24, 0.22}, {0.64, 0.4}, {0.64, 0.56}}), Mode::cutOutStroke, 0.5},
        {polyline({{0.36, 0.16}, {0.76, 0.34}, {0.76, 0.51}}), Mode::cutOutStroke, 0.5}}});

  // A short stroke down-right, then a long stroke up-right.
  glyphs.push_back(
      {"checkmark", {{polyline({{0.12, 0.54}, {0.38, 0.82}, {0.88, 0.16}}), Mode::stroke, 1.1}}});

  // A solid disc with the checkmark cut out of it.
  glyphs.push_back(
      {"checkmark.circle.fill",
       {{circlePath({0.5, 0.5}, 0.46), Mode::fill, 1},
        {polyline({{0.29, 0.52}, {0.44, 0.67}, {0.72, 0.33}}), Mode::cutOutStroke, 1.1}}});
  return glyphs;
}

const std::vector<SymbolGlyph>& glyphs() {
  static const std::vector<SymbolGlyph> all = makeGlyphs();
  return all;
}

}  // namespace

const SymbolGlyph* symbolGlyph(std::string_view name) {
  for (const SymbolGlyph& g : glyphs()) {
    if (g.name == name) return &g;
  }
  return nullptr;
}

std::vector<std::string_view> knownSymbolNames() {
  std::vector<std::string_view> names;
  for (const SymbolGlyph& g : glyphs()) names.push_back(g.name);
  return names;
}

double symbolStrokeWidth(FontWeight weight) {
  switch (weight) {
    case FontWeight::ultraLight: return 0.03;
    case FontWeight::thin: return 0.04;
    case FontWeight::light: return 0.065;
    case FontWeight::regular: return 0.085;
    case FontWeight::medium: return 0.1;
    case FontWeight::semibold: return 0.115;
    case FontWeight::bold: return 0.13;
    case FontWeight::heavy: return 0.15;
    case FontWeight::black: return 0.17;
  }
  return 0.085;
}

AffineTransform symbolTransform(const Rect& rect) {
  const double side = std::min(rect.width, rect.height);
  return {side, 0, 0, side, rect.midX() - side / 2, rect.midY() - side / 2};
}

}  // namespace SwiftUI::Drawing
