#pragma once

#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/drawing/LineStyle.h"

// The small value types that views and modifiers take: alignments, unit
// points, edges, angles, stroke styles, text settings. Each has the
// platform's name for each case (nameOf), which the describe format uses.
namespace SwiftUI {

// Sizes, lengths and coordinates in points.
using CGFloat = double;
inline constexpr CGFloat infinity = std::numeric_limits<CGFloat>::infinity();

// How a VStack lines up its children across its width.
enum class HorizontalAlignment : std::uint8_t { leading, center, trailing };
// How an HStack lines up its children across its height.
enum class VerticalAlignment : std::uint8_t {
  top,
  center,
  bottom,
  firstTextBaseline,
  lastTextBaseline
};

// A two-axis alignment (ZStack, frame).
struct Alignment {
  HorizontalAlignment horizontal = HorizontalAlignment::center;
  VerticalAlignment vertical = VerticalAlignment::center;

  static const Alignment center, leading, trailing, top, bottom;
  static const Alignment topLeading, topTrailing, bottomLeading, bottomTrailing;

  friend constexpr bool operator==(Alignment, Alignment) = default;
};
inline constexpr Alignment Alignment::center{};
inline constexpr Alignment Alignment::leading{HorizontalAlignment::leading,
                                              VerticalAlignment::center};
inline constexpr Alignment Alignment::trailing{HorizontalAlignment::trailing,
                                               VerticalAlignment::center};
inline constexpr Alignment Alignment::top{HorizontalAlignment::center, VerticalAlignment::top};
inline constexpr Alignment Alignment::bottom{HorizontalAlignment::center,
                                             VerticalAlignment::bottom};
inline constexpr Alignment Alignment::topLeading{HorizontalAlignment::leading,
                                                 VerticalAlignment::top};
inline constexpr Alignment Alignment::topTrailing{HorizontalAlignment::trailing,
                                                  VerticalAlignment::top};
inline constexpr Alignment Alignment::bottomLeading{HorizontalAlignment::leading,
                                                    VerticalAlignment::bottom};
inline constexpr Alignment Alignment::bottomTrailing{HorizontalAlignment::trailing,
                                                     VerticalAlignment::bottom};

// A point in a view's own square, 0…1 on each axis from the top leading
// corner: the anchor of rotations and scales.
struct UnitPoint {
  double x = 0.5;
  double y = 0.5;

  static const UnitPoint center, leading, trailing, top, bottom;
  static const UnitPoint topLeading, topTrailing, bottomLeading, bottomTrailing;

  friend constexpr bool operator==(UnitPoint, UnitPoint) = default;
};
inline constexpr UnitPoint UnitPoint::center{0.5, 0.5};
inline constexpr UnitPoint UnitPoint::leading{0, 0.5};
inline constexpr UnitPoint UnitPoint::trailing{1, 0.5};
inline constexpr UnitPoint UnitPoint::top{0.5, 0};
inline constexpr UnitPoint UnitPoint::bottom{0.5, 1};
inline constexpr UnitPoint UnitPoint::topLeading{0, 0};
inline constexpr UnitPoint UnitPoint::topTrailing{1, 0};
inline constexpr UnitPoint UnitPoint::bottomLeading{0, 1};
inline constexpr UnitPoint UnitPoint::bottomTrailing{1, 1};

// A set of a view's edges (padding).
struct Edge {
  enum class Set : std::uint8_t {
    top = 1,
    leading = 2,
    bottom = 4,
    trailing = 8,
    horizontal = 2 | 8,
    vertical = 1 | 4,
    all = 15,
  };
};

// An angle, kept in degrees as views give it.
class Angle {
 public:
  static constexpr Angle degrees(double value) { return Angle(value); }
  static constexpr Angle radians(double value) { return Angle(value * 180.0 / std::numbers::pi); }

  constexpr double inDegrees() const { return degrees_; }
  constexpr double inRadians() const { return degrees_ * std::numbers::pi / 180.0; }

  friend constexpr bool operator==(Angle, Angle) = default;

 private:
  constexpr explicit Angle(double degrees) : degrees_(degrees) {}
  double degrees_;
};

// The drawing layer's line caps and joins, under the platform's names.
using CGLineCap = Drawing::LineCap;
using CGLineJoin = Drawing::LineJoin;

// How a shape's outline is stroked. The defaults are the platform's: width 1,
// butt caps, miter joins, miter limit 10, no dash.
struct StrokeStyle {
  CGFloat lineWidth = 1;
  CGLineCap lineCap = CGLineCap::butt;
  CGLineJoin lineJoin = CGLineJoin::miter;
  CGFloat miterLimit = 10;
  std::vector<CGFloat> dash = {};
  CGFloat dashPhase = 0;

  friend bool operator==(const StrokeStyle&, const StrokeStyle&) = default;
};

// How the lines of a multi-line text line up.
enum class TextAlignment : std::uint8_t { leading, center, trailing };

// Where a text too long for its line limit is cut ("…" marks the cut).
enum class TruncationMode : std::uint8_t { head, middle, tail };

// The look of a button. `plain` draws the label as it is, without the
// platform's button decoration.
enum class ButtonStyle : std::uint8_t { automatic, plain, borderless, bordered, borderedProminent };
// The plain style, spelled as views write it: buttonStyle(PlainButtonStyle()).
constexpr ButtonStyle PlainButtonStyle() {
  return ButtonStyle::plain;
}

// The platform's names: "leading", "firstTextBaseline", "topLeading",
// "horizontal", "round", "tail", "plain", …
std::string_view nameOf(HorizontalAlignment value);
std::string_view nameOf(VerticalAlignment value);
std::string nameOf(Alignment value);
std::string_view nameOf(CGLineCap value);
std::string_view nameOf(CGLineJoin value);
std::string_view nameOf(TextAlignment value);
std::string_view nameOf(TruncationMode value);
std::string_view nameOf(ButtonStyle value);
// The name of a named unit point ("center", "topLeading", …), or empty for
// any other point.
std::string_view nameOf(UnitPoint value);
// The name of a named edge set ("all", "horizontal", "vertical", "top", …),
// or empty for any other combination.
std::string_view nameOf(Edge::Set value);

}  // namespace SwiftUI
