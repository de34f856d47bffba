#pragma once

#include "platform/ui/drawing/DrawCommand.h"
#include "platform/ui/drawing/Geometry.h"
#include "platform/ui/drawing/ResolvedColor.h"

// How readable one colour is over another, the way the renderer composites
// them (straight alpha over, in sRGB values, as Cairo does) and the way
// WCAG 2 measures them.
namespace SwiftUI::Drawing {

// `top` composited over `bottom`: each channel top·a + bottom·(1 − a) in
// sRGB values, the alphas combined as a_top + a_bottom·(1 − a_top).
RGBA over(const RGBA& top, const RGBA& bottom);

// WCAG 2 relative luminance of the colour's sRGB channels (its alpha is not
// read): 0.2126 R + 0.7152 G + 0.0722 B of the linearised channels
// (c / 12.92 up to 0.04045, ((c + 0.055) / 1.055)^2.4 above).
double relativeLuminance(const RGBA& color);

// (L1 + 0.05) / (L2 + 0.05), L1 the lighter colour's relative luminance:
// 1 for equal colours, 21 for black and white. Alphas are not read: give
// opaque colours (composite translucent ones first).
double contrastRatio(const RGBA& a, const RGBA& b);

// The colour a linear gradient fill paints at `point`: the stops
// interpolated along the axis from start to end, the end colours beyond
// them (Cairo's pad extend).
RGBA colorAt(const FillLinearGradient& gradient, Point point);

}  // namespace SwiftUI::Drawing
