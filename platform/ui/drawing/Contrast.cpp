#include "platform/ui/drawing/Contrast.h"

#include <algorithm>
#include <cmath>

namespace SwiftUI::Drawing {

namespace {

double linearised(double channel) {
  const double c = std::clamp(channel, 0.0, 1.0);
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

RGBA over(const RGBA& top, const RGBA& bottom) {
  const double a = std::clamp(top.alpha, 0.0, 1.0);
  const auto mix = [a](double t, double b) { return t * a + b * (1 - a); };
  return {mix(top.red, bottom.red), mix(top.green, bottom.green), mix(top.blue, bottom.blue),
          a + bottom.alpha * (1 - a)};
}

double relativeLuminance(const RGBA& color) {
  return 0.2126 * linearised(color.red) + 0.7152 * linearised(color.green) +
         0.0722 * linearised(color.blue);
}

double contrastRatio(const RGBA& a, const RGBA& b) {
  const double la = relativeLuminance(a), lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

RGBA colorAt(const FillLinearGradient& gradient, Point point) {
  if (gradient.stops.empty()) return {0, 0, 0, 0};
  const double dx = gradient.end.x - gradient.start.x, dy = gradient.end.y - gradient.start.y;
  const double length = dx * dx + dy * dy;
  const double t =
      length > 0 ? ((point.x - gradient.start.x) * dx + (point.y - gradient.start.y) * dy) / length
                 : 0;
  const std::vector<GradientStop>& stops = gradient.stops;
  if (t <= stops.front().location) return stops.front().color;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].location) {
      const GradientStop& a = stops[i - 1];
      const GradientStop& b = stops[i];
      const double span = b.location - a.location;
      const double f = span > 0 ? (t - a.location) / span : 1;
      const auto mix = [f](double x, double y) { return x + (y - x) * f; };
      return {mix(a.color.red, b.color.red), mix(a.color.green, b.color.green),
              mix(a.color.blue, b.color.blue), mix(a.color.alpha, b.color.alpha)};
    }
  }
  return stops.back().color;
}

}  // namespace SwiftUI::Drawing
