#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ui/drawing/DrawCommand.h"
#include "platform/ui/drawing/FontDescriptor.h"
#include "platform/ui/drawing/Geometry.h"

// Our own drawings of the platform's symbols, as data. Each glyph is drawn in
// a unit square (0…1 on both axes, y down) that the renderer maps onto the
// symbol's rect; strokes use round caps and joins and a width that follows
// the weight, like the letter stems of text in that weight.
namespace SwiftUI::Drawing {

struct SymbolPart {
  enum class Mode : std::uint8_t {
    fill,           // fill the path
    stroke,         // stroke the path
    fillAndStroke,  // fill, then stroke the outline (rounds a shape's corners)
    cutOutStroke,   // erase along the stroked path from what the glyph drew so far
  };
  Path path;  // in the unit square
  Mode mode = Mode::stroke;
  double strokeScale = 1;  // times the weight's stroke width
};

struct SymbolGlyph {
  std::string_view name;
  std::vector<SymbolPart> parts;
};

// The glyph for a symbol name, or nullptr for a name we have no drawing for
// (the renderer then draws a small outlined box, as a font draws a missing
// glyph). Known: "clock", "arrow.down", "pause.fill", "shippingbox.fill",
// "checkmark", "checkmark.circle.fill".
const SymbolGlyph* symbolGlyph(std::string_view name);

// The names symbolGlyph knows, in the order above.
std::vector<std::string_view> knownSymbolNames();

// The stroke width, in units of the symbol's point size, for a weight:
// regular is 0.085 (about the stem of a regular letter), bold 0.13.
double symbolStrokeWidth(FontWeight weight);

// The frame a symbol takes at a point size: a square of that side, for every
// symbol. Layout gives DrawSymbol this rect.
constexpr Size symbolSize(double pointSize) {
  return {pointSize, pointSize};
}

// How the unit square maps onto `rect`: a uniform scale by the shorter side,
// centred. The renderer applies this before drawing the parts.
AffineTransform symbolTransform(const Rect& rect);

}  // namespace SwiftUI::Drawing
