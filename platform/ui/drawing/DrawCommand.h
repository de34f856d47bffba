#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/ui/Color.h"
#include "platform/ui/drawing/FontDescriptor.h"
#include "platform/ui/drawing/Geometry.h"
#include "platform/ui/drawing/LineStyle.h"
#include "platform/ui/drawing/ResolvedColor.h"

// Draw commands: what a laid-out presentation looks like, as plain values.
//
// Layout walks the view tree and emits a DrawList; a renderer (CairoRenderer)
// consumes it; tests compare lists with == and read them in failure output.
// All geometry is in points with y down, in the coordinates set up by the
// enclosing PushTransform commands (the canvas's own coordinates outside any).
//
// Example, a ring's track and its arc turned to start at the top:
//
//   DrawList list{
//       StrokeCircle{{14, 14}, 14, 0, 1, StrokeStyle{3}, Color::blue.opacity(0.3)},
//       PushTransform{AffineTransform::rotation(-pi / 2, {14, 14})},
//       StrokeCircle{{14, 14}, 14, 0, 0.42, StrokeStyle{3, LineCap::round}, Color::blue},
//       PopTransform{},
//   };
namespace SwiftUI::Drawing {

// A colour fixed at layout time, or a named colour that the renderer
// resolves in its appearance (see resolve in ResolvedColor.h).
using Paint = std::variant<RGBA, Color>;

// How a line is stroked, with the platform's defaults: width 1, butt caps,
// miter joins, miter limit 10, solid.
struct StrokeStyle {
  StrokeStyle() = default;
  explicit StrokeStyle(double width, LineCap cap = LineCap::butt, LineJoin join = LineJoin::miter,
                       double limit = 10, std::vector<double> dashLengths = {}, double phase = 0)
      : lineWidth(width),
        lineCap(cap),
        lineJoin(join),
        miterLimit(limit),
        dash(std::move(dashLengths)),
        dashPhase(phase) {}

  double lineWidth = 1;
  LineCap lineCap = LineCap::butt;
  LineJoin lineJoin = LineJoin::miter;
  double miterLimit = 10;
  std::vector<double> dash;  // alternating on and off lengths; empty is solid
  double dashPhase = 0;

  friend bool operator==(const StrokeStyle&, const StrokeStyle&) = default;
};

// Path elements. Arc angles are in radians from the positive x axis, and a
// positive sweep runs clockwise on screen.
struct MoveTo {
  Point to;
  friend bool operator==(const MoveTo&, const MoveTo&) = default;
};
struct LineTo {
  Point to;
  friend bool operator==(const LineTo&, const LineTo&) = default;
};
struct CurveTo {
  Point control1, control2, to;
  friend bool operator==(const CurveTo&, const CurveTo&) = default;
};
struct ArcTo {
  Point center;
  double radius = 0;
  double startAngle = 0;
  double sweep = 0;
  friend bool operator==(const ArcTo&, const ArcTo&) = default;
};
struct ClosePath {
  friend bool operator==(const ClosePath&, const ClosePath&) = default;
};
using PathElement = std::variant<MoveTo, LineTo, CurveTo, ArcTo, ClosePath>;

// A sequence of subpaths. An ArcTo continues the current subpath with a
// straight line to the arc's start, or starts one if there is none.
struct Path {
  std::vector<PathElement> elements;

  Path& move(Point p) { return add(MoveTo{p}); }
  Path& line(Point p) { return add(LineTo{p}); }
  Path& curve(Point c1, Point c2, Point p) { return add(CurveTo{c1, c2, p}); }
  Path& arc(Point center, double radius, double startAngle, double sweep) {
    return add(ArcTo{center, radius, startAngle, sweep});
  }
  Path& close() { return add(ClosePath{}); }
  Path& add(PathElement e) {
    elements.push_back(e);
    return *this;
  }
  friend bool operator==(const Path&, const Path&) = default;
};

struct GradientStop {
  double location = 0;  // 0…1 along the gradient's axis
  RGBA color;
  friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

// --- The commands ---

// A rectangle with circular corners of cornerRadius (0 for square corners;
// clamped to half the shorter side).
struct FillRoundedRect {
  Rect rect;
  double cornerRadius = 0;
  Paint paint;
  friend bool operator==(const FillRoundedRect&, const FillRoundedRect&) = default;
};
// The outline of a rounded rectangle, the line centred on it.
struct StrokeRoundedRect {
  Rect rect;
  double cornerRadius = 0;
  StrokeStyle style;
  Paint paint;
  friend bool operator==(const StrokeRoundedRect&, const StrokeRoundedRect&) = default;
};
struct FillCircle {
  Point center;
  double radius = 0;
  Paint paint;
  friend bool operator==(const FillCircle&, const FillCircle&) = default;
};
// A circle's outline trimmed to the fractions trimFrom…trimTo of its length,
// the line centred on it. The outline starts at the rightmost point and runs
// clockwise on screen; see trimmedCircleArc for how fractions are read.
struct StrokeCircle {
  Point center;
  double radius = 0;
  double trimFrom = 0;
  double trimTo = 1;
  StrokeStyle style;
  Paint paint;
  friend bool operator==(const StrokeCircle&, const StrokeCircle&) = default;
};
struct StrokePath {
  Path path;
  StrokeStyle style;
  Paint paint;
  friend bool operator==(const StrokePath&, const StrokePath&) = default;
};
// Fills `rect` with a linear gradient from `start` (location 0) to `end`
// (location 1), extended with the end colours beyond them.
struct FillLinearGradient {
  Rect rect;
  Point start;
  Point end;
  std::vector<GradientStop> stops;
  friend bool operator==(const FillLinearGradient&, const FillLinearGradient&) = default;
};
// The platform's linear progress bar in `rect` (normally 4 pt tall): a
// faint track with round ends across the whole rect and, over it, the tint
// from the leading edge to `value` of the width. The value is kept as given
// and clamped to 0…1 when drawn (NaN as 0); see progressBarGeometry. An
// absent track paint means the platform's track colour (progressTrackColor).
struct DrawProgressBar {
  Rect rect;
  double value = 0;
  Paint tint;
  std::optional<Paint> track;
  friend bool operator==(const DrawProgressBar&, const DrawProgressBar&) = default;
};
// One line of already laid-out (and, where needed, already truncated) text.
// `origin` is the start of the baseline; `width` is the advance the layout
// measured for it (kept for tests and debugging; the renderer does not stretch or
// cut the text to it).
struct DrawText {
  std::string text;  // UTF-8
  FontDescriptor font;
  Paint color;
  Point origin;
  double width = 0;
  friend bool operator==(const DrawText&, const DrawText&) = default;
};
// One of the platform's symbols ("clock", "arrow.down", …) drawn to fit
// `rect` (see Symbols.h), in a stroke weight matching `weight`.
struct DrawSymbol {
  std::string name;
  Rect rect;
  FontWeight weight = FontWeight::regular;
  Paint color;
  friend bool operator==(const DrawSymbol&, const DrawSymbol&) = default;
};
// Limits drawing to a rounded rectangle until the matching PopClip.
struct PushClip {
  Rect rect;
  double cornerRadius = 0;
  friend bool operator==(const PushClip&, const PushClip&) = default;
};
struct PopClip {
  friend bool operator==(const PopClip&, const PopClip&) = default;
};
// Draws everything up to the matching EndOpacity as one layer, then
// composites the layer at `opacity` (clamped to 0…1, NaN as 0).
struct BeginOpacity {
  double opacity = 1;
  friend bool operator==(const BeginOpacity&, const BeginOpacity&) = default;
};
struct EndOpacity {
  friend bool operator==(const EndOpacity&, const EndOpacity&) = default;
};
// Maps the coordinates of the commands up to the matching PopTransform
// through `transform` (applied before any enclosing transform).
struct PushTransform {
  AffineTransform transform;
  friend bool operator==(const PushTransform&, const PushTransform&) = default;
};
struct PopTransform {
  friend bool operator==(const PopTransform&, const PopTransform&) = default;
};

using DrawCommand =
    std::variant<FillRoundedRect, StrokeRoundedRect, FillCircle, StrokeCircle, StrokePath,
                 FillLinearGradient, DrawProgressBar, DrawText, DrawSymbol, PushClip, PopClip,
                 BeginOpacity, EndOpacity, PushTransform, PopTransform>;

using DrawList = std::vector<DrawCommand>;

// Appends `tail` to `list`.
void append(DrawList& list, const DrawList& tail);

// True when every PushClip, BeginOpacity and PushTransform is closed by its
// own kind of pop, in nesting order. The renderer tolerates lists that are
// not (it ignores a pop that does not match the innermost open scope and
// closes scopes left open at the end), but layout should never emit them.
bool isBalanced(const DrawList& list);

// --- Geometry the renderer derives from commands (pure, for tests) ---

// An arc of a circle: it starts `startAngle` radians from the positive x axis
// and runs `sweep` radians clockwise on screen.
struct ArcAngles {
  double startAngle = 0;
  double sweep = 0;
  friend bool operator==(const ArcAngles&, const ArcAngles&) = default;
};

// The part of a circle's outline that trim(from:to:) keeps. Each fraction is
// clamped to 0…1 (NaN counts as 0); when from ≥ to nothing is drawn (nullopt).
// Otherwise the arc starts at 2π·from and sweeps 2π·(to − from): a fraction
// of 0.25 ends at the bottom of the circle, before any rotation.
std::optional<ArcAngles> trimmedCircleArc(double from, double to);

struct ProgressBarGeometry {
  Rect track;
  std::optional<Rect> fill;  // absent when the value is 0 (or NaN)
  double cornerRadius = 0;   // of both, half the bar's height
  friend bool operator==(const ProgressBarGeometry&, const ProgressBarGeometry&) = default;
};

// Where a progress bar's track and tint go: the tint covers the clamped value
// times the width from the left edge, and is drawn clipped to the track so
// a short tint keeps the track's rounded start.
ProgressBarGeometry progressBarGeometry(const Rect& rect, double value);

// The faint colour of a progress bar's track: 120,120,128 at 0.36 in the dark
// appearance and at 0.2 in the light one, a neutral grey that reads under
// every tint.
RGBA progressTrackColor(Appearance appearance);

// --- Printing, for test failures and debugging ---

std::ostream& operator<<(std::ostream& os, const Paint& paint);
std::ostream& operator<<(std::ostream& os, const StrokeStyle& style);
std::ostream& operator<<(std::ostream& os, const Path& path);
std::ostream& operator<<(std::ostream& os, const FillRoundedRect& c);
std::ostream& operator<<(std::ostream& os, const StrokeRoundedRect& c);
std::ostream& operator<<(std::ostream& os, const FillCircle& c);
std::ostream& operator<<(std::ostream& os, const StrokeCircle& c);
std::ostream& operator<<(std::ostream& os, const StrokePath& c);
std::ostream& operator<<(std::ostream& os, const FillLinearGradient& c);
std::ostream& operator<<(std::ostream& os, const DrawProgressBar& c);
std::ostream& operator<<(std::ostream& os, const DrawText& c);
std::ostream& operator<<(std::ostream& os, const DrawSymbol& c);
std::ostream& operator<<(std::ostream& os, const PushClip& c);
std::ostream& operator<<(std::ostream& os, const PopClip& c);
std::ostream& operator<<(std::ostream& os, const BeginOpacity& c);
std::ostream& operator<<(std::ostream& os, const EndOpacity& c);
std::ostream& operator<<(std::ostream& os, const PushTransform& c);
std::ostream& operator<<(std::ostream& os, const PopTransform& c);
std::ostream& operator<<(std::ostream& os, const DrawCommand& command);

// The list, one command a line.
std::string describe(const DrawList& list);

}  // namespace SwiftUI::Drawing
