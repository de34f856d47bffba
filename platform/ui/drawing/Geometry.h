#pragma once

#include <cmath>
#include <ostream>

// Plain geometry in points, y growing downwards (screen coordinates).
namespace SwiftUI::Drawing {

struct Point {
  double x = 0;
  double y = 0;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Size {
  double width = 0;
  double height = 0;
  friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  constexpr double minX() const { return x; }
  constexpr double minY() const { return y; }
  constexpr double maxX() const { return x + width; }
  constexpr double maxY() const { return y + height; }
  constexpr double midX() const { return x + width / 2; }
  constexpr double midY() const { return y + height / 2; }
  constexpr Point center() const { return {midX(), midY()}; }
  constexpr Size size() const { return {width, height}; }
  // The rectangle shrunk by dx on the left and right and dy on the top and
  // bottom (grown for negative values).
  constexpr Rect insetBy(double dx, double dy) const {
    return {x + dx, y + dy, width - 2 * dx, height - 2 * dy};
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// An affine map (x, y) → (a·x + c·y + tx, b·x + d·y + ty), laid out as in the
// platform's CGAffineTransform and in cairo_matrix_t.
struct AffineTransform {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  static constexpr AffineTransform identity() { return {}; }
  static constexpr AffineTransform translation(double dx, double dy) {
    return {1, 0, 0, 1, dx, dy};
  }
  // A turn by `radians` about `anchor`. Positive angles turn clockwise on
  // screen (y is down), as rotationEffect does.
  static AffineTransform rotation(double radians, Point anchor = {}) {
    const double cs = std::cos(radians), sn = std::sin(radians);
    return {cs,
            sn,
            -sn,
            cs,
            anchor.x - cs * anchor.x + sn * anchor.y,
            anchor.y - sn * anchor.x - cs * anchor.y};
  }
  // A scale by (sx, sy) that keeps `anchor` in place, as scaleEffect does.
  static constexpr AffineTransform scale(double sx, double sy, Point anchor = {}) {
    return {sx, 0, 0, sy, anchor.x - sx * anchor.x, anchor.y - sy * anchor.y};
  }

  constexpr Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  // This transform applied after `first`.
  constexpr AffineTransform after(const AffineTransform& first) const {
    return {a * first.a + c * first.b,        b * first.a + d * first.b,
            a * first.c + c * first.d,        b * first.c + d * first.d,
            a * first.tx + c * first.ty + tx, b * first.tx + d * first.ty + ty};
  }
  friend constexpr bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

std::ostream& operator<<(std::ostream& os, Point p);
std::ostream& operator<<(std::ostream& os, Size s);
std::ostream& operator<<(std::ostream& os, const Rect& r);
std::ostream& operator<<(std::ostream& os, const AffineTransform& t);

}  // namespace SwiftUI::Drawing
