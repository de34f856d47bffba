#include "platform/ui/drawing/DrawCommand.h"

#include <algorithm>
#include <numbers>
#include <sstream>

namespace SwiftUI::Drawing {

namespace {

double clampFraction(double f) {
  return f != f ? 0 : std::clamp(f, 0.0, 1.0);
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

void append(DrawList& list, const DrawList& tail) {
  list.insert(list.end(), tail.begin(), tail.end());
}

bool isBalanced(const DrawList& list) {
  // 0: clip, 1: opacity, 2: transform
  std::vector<int> open;
  auto pop = [&open](int kind) {
    if (open.empty() || open.back() != kind) return false;
    open.pop_back();
    return true;
  };
  for (const DrawCommand& command : list) {
    bool ok = true;
    if (std::holds_alternative<PushClip>(command))
      open.push_back(0);
    else if (std::holds_alternative<BeginOpacity>(command))
      open.push_back(1);
    else if (std::holds_alternative<PushTransform>(command))
      open.push_back(2);
    else if (std::holds_alternative<PopClip>(command))
      ok = pop(0);
    else if (std::holds_alternative<EndOpacity>(command))
      ok = pop(1);
    else if (std::holds_alternative<PopTransform>(command))
      ok = pop(2);
    if (!ok) return false;
  }
  return open.empty();
}

std::optional<ArcAngles> trimmedCircleArc(double from, double to) {
  const double a = clampFraction(from), b = clampFraction(to);
  if (a >= b) return std::nullopt;
  constexpr double turn = 2 * std::numbers::pi;
  return ArcAngles{turn * a, turn * (b - a)};
}

ProgressBarGeometry progressBarGeometry(const Rect& rect, double value) {
  ProgressBarGeometry g;
  g.track = rect;
  g.cornerRadius = rect.height / 2;
  const double v = clampFraction(value);
  if (v > 0) g.fill = Rect{rect.x, rect.y, rect.width * v, rect.height};
  return g;
}

RGBA progressTrackColor(Appearance appearance) {
  return RGBA::bytes(120, 120, 128, appearance == Appearance::dark ? 0.36 : 0.2);
}

// --- Printing ---

std::ostream& operator<<(std::ostream& os, Point p) {
  return os << "(" << p.x << ", " << p.y << ")";
}
std::ostream& operator<<(std::ostream& os, Size s) {
  return os << s.width << "×" << s.height;
}
std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "[" << r.x << ", " << r.y << ", " << r.width << "×" << r.height << "]";
}
std::ostream& operator<<(std::ostream& os, const AffineTransform& t) {
  return os << "[" << t.a << " " << t.b << " " << t.c << " " << t.d << " " << t.tx << " " << t.ty
            << "]";
}

std::ostream& operator<<(std::ostream& os, const Paint& paint) {
  if (const RGBA* rgba = std::get_if<RGBA>(&paint)) return os << *rgba;
  const Color& color = std::get<Color>(paint);
  os << colorName(color.name);
  if (color.opacityValue) os << ".opacity(" << *color.opacityValue << ")";
  return os;
}

std::ostream& operator<<(std::ostream& os, const StrokeStyle& s) {
  os << "{width " << s.lineWidth << ", " << lineCapName(s.lineCap) << " cap, "
     << lineJoinName(s.lineJoin) << " join, miter limit " << s.miterLimit;
  if (!s.dash.empty()) {
    os << ", dash";
    for (double d : s.dash) os << " " << d;
    os << " phase " << s.dashPhase;
  }
  return os << "}";
}

std::ostream& operator<<(std::ostream& os, const Path& path) {
  os << "{";
  for (const PathElement& e : path.elements) {
    std::visit(Overloaded{
                   [&](const MoveTo& m) { os << " M" << m.to; },
                   [&](const LineTo& l) { os << " L" << l.to; },
                   [&](const CurveTo& c) { os << " C" << c.control1 << c.control2 << c.to; },
                   [&](const ArcTo& a) {
                     os << " A" << a.center << " r " << a.radius << " from " << a.startAngle
                        << " sweep " << a.sweep;
                   },
                   [&](const ClosePath&) { os << " Z"; },
               },
               e);
  }
  return os << " }";
}

std::ostream& operator<<(std::ostream& os, const FillRoundedRect& c) {
  return os << "FillRoundedRect " << c.rect << " radius " << c.cornerRadius << " " << c.paint;
}
std::ostream& operator<<(std::ostream& os, const StrokeRoundedRect& c) {
  return os << "StrokeRoundedRect " << c.rect << " radius " << c.cornerRadius << " " << c.style
            << " " << c.paint;
}
std::ostream& operator<<(std::ostream& os, const FillCircle& c) {
  return os << "FillCircle " << c.center << " r " << c.radius << " " << c.paint;
}
std::ostream& operator<<(std::ostream& os, const StrokeCircle& c) {
  return os << "StrokeCircle " << c.center << " r " << c.radius << " trim " << c.trimFrom << "…"
            << c.trimTo << " " << c.style << " " << c.paint;
}
std::ostream& operator<<(std::ostream& os, const StrokePath& c) {
  return os << "StrokePath " << c.path << " " << c.style << " " << c.paint;
}
std::ostream& operator<<(std::ostream& os, const FillLinearGradient& c) {
  os << "FillLinearGradient " << c.rect << " " << c.start << "→" << c.end;
  for (const GradientStop& s : c.stops) os << " " << s.location << ":" << s.color;
  return os;
}
std::ostream& operator<<(std::ostream& os, const DrawProgressBar& c) {
  os << "DrawProgressBar " << c.rect << " value " << c.value << " tint " << c.tint;
  if (c.track) os << " track " << *c.track;
  return os;
}
std::ostream& operator<<(std::ostream& os, const DrawText& c) {
  return os << "DrawText \"" << c.text << "\" " << c.font << " " << c.color << " at " << c.origin
            << " width " << c.width;
}
std::ostream& operator<<(std::ostream& os, const DrawSymbol& c) {
  return os << "DrawSymbol " << c.name << " " << c.rect << " " << fontWeightName(c.weight) << " "
            << c.color;
}
std::ostream& operator<<(std::ostream& os, const PushClip& c) {
  return os << "PushClip " << c.rect << " radius " << c.cornerRadius;
}
std::ostream& operator<<(std::ostream& os, const PopClip&) {
  return os << "PopClip";
}
std::ostream& operator<<(std::ostream& os, const BeginOpacity& c) {
  return os << "BeginOpacity " << c.opacity;
}
std::ostream& operator<<(std::ostream& os, const EndOpacity&) {
  return os << "EndOpacity";
}
std::ostream& operator<<(std::ostream& os, const PushTransform& c) {
  return os << "PushTransform " << c.transform;
}
std::ostream& operator<<(std::ostream& os, const PopTransform&) {
  return os << "PopTransform";
}

std::ostream& operator<<(std::ostream& os, const DrawCommand& command) {
  std::visit([&os](const auto& c) { os << c; }, command);
  return os;
}

std::string describe(const DrawList& list) {
  std::ostringstream os;
  for (const DrawCommand& c : list) os << c << "\n";
  return os.str();
}

// --- Fonts ---

std::string_view textStyleName(TextStyle style) {
  switch (style) {
    case TextStyle::title3: return "title3";
    case TextStyle::headline: return "headline";
    case TextStyle::body: return "body";
    case TextStyle::callout: return "callout";
    case TextStyle::subheadline: return "subheadline";
    case TextStyle::footnote: return "footnote";
    case TextStyle::caption: return "caption";
    case TextStyle::caption2: return "caption2";
  }
  return "body";
}

std::string_view dynamicTypeSizeName(DynamicTypeSize size) {
  switch (size) {
    case DynamicTypeSize::xSmall: return "xSmall";
    case DynamicTypeSize::small: return "small";
    case DynamicTypeSize::medium: return "medium";
    case DynamicTypeSize::large: return "large";
    case DynamicTypeSize::xLarge: return "xLarge";
    case DynamicTypeSize::xxLarge: return "xxLarge";
    case DynamicTypeSize::xxxLarge: return "xxxLarge";
    case DynamicTypeSize::accessibility1: return "accessibility1";
    case DynamicTypeSize::accessibility2: return "accessibility2";
    case DynamicTypeSize::accessibility3: return "accessibility3";
    case DynamicTypeSize::accessibility4: return "accessibility4";
    case DynamicTypeSize::accessibility5: return "accessibility5";
  }
  return "large";
}

std::optional<DynamicTypeSize> dynamicTypeSizeNamed(std::string_view name) {
  for (DynamicTypeSize size : allDynamicTypeSizes) {
    if (dynamicTypeSizeName(size) == name) return size;
  }
  return std::nullopt;
}

std::ostream& operator<<(std::ostream& os, const FontDescriptor& font) {
  // A text style shows its size when it is not the default text size's.
  if (!font.style)
    os << "system(" << font.size << ")";
  else if (font.size != textStyleMetrics(*font.style).size)
    os << textStyleName(*font.style) << "(" << font.size << ")";
  else
    os << textStyleName(*font.style);
  os << " " << fontWeightName(font.weight);
  if (font.monospacedDigits) os << " tnum";
  return os;
}

}  // namespace SwiftUI::Drawing
