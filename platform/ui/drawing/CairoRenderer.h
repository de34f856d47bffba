#pragma once

#include "platform/ui/drawing/DrawCommand.h"
#include "platform/ui/drawing/ResolvedColor.h"

typedef struct _cairo cairo_t;

namespace SwiftUI::Drawing {

struct RenderOptions {
  double scale = 1;  // device pixels (or SVG units) per point
  Appearance appearance = Appearance::dark;
};

// The concrete colour of a paint in an appearance.
RGBA resolve(const Paint& paint, Appearance appearance);

// Draws draw lists with Cairo onto any cairo_t: an image surface for PNG, an
// SVG surface, a test's surface.
//
// - Strokes use the command's width, cap, join, miter limit and dash (a dash
//   with a negative or non-finite length, or all zero, is drawn solid). A
//   stroke of width ≤ 0 or NaN draws nothing.
// - StrokeCircle is an arc from the circle's rightmost point running
//   clockwise on screen, over trimmedCircleArc of its fractions; nothing
//   when those say so. A full trim is drawn as a closed circle (no caps).
// - DrawProgressBar follows progressBarGeometry: a track with round ends,
//   then the tint clipped to the track.
// - Text is shaped by Pango in the same fonts as PangoTextMeasurer, the
//   baseline starting at the command's origin.
// - Symbols come from Symbols.h, mapped onto the command's rect.
// - A PushTransform whose matrix is not invertible (a scale of 0) or not
//   finite hides everything up to its PopTransform instead of drawing it.
// - Scopes (clip, opacity, transform) that a list leaves open are closed at
//   its end; a pop that does not match the innermost open scope is ignored.
//
// Stateless between calls; one renderer may draw on several threads at once,
// each with its own cairo_t.
class CairoRenderer {
 public:
  explicit CairoRenderer(RenderOptions options = {}) : options_(options) {}

  // Draws `list` onto `cr`, under cr's current transform scaled by the
  // options' scale. Leaves cr's state (transform, source, clip) as it found
  // it. Returns false when cairo reported an error on `cr` (the picture is
  // then incomplete); cairo's error state stays on `cr` for the caller.
  bool draw(cairo_t* cr, const DrawList& list) const;

  const RenderOptions& options() const { return options_; }

 private:
  RenderOptions options_;
};

}  // namespace SwiftUI::Drawing
