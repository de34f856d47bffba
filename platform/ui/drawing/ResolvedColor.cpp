#include "platform/ui/drawing/ResolvedColor.h"

namespace SwiftUI::Drawing {

namespace {

RGBA base(Color::Name name, Appearance appearance) {
  const bool dark = appearance == Appearance::dark;
  switch (name) {
    case Color::Name::blue: return dark ? RGBA::bytes(10, 132, 255) : RGBA::bytes(0, 122, 255);
    case Color::Name::orange: return dark ? RGBA::bytes(255, 159, 10) : RGBA::bytes(255, 149, 0);
    case Color::Name::purple: return dark ? RGBA::bytes(191, 90, 242) : RGBA::bytes(175, 82, 222);
    case Color::Name::green: return dark ? RGBA::bytes(48, 209, 88) : RGBA::bytes(52, 199, 89);
    case Color::Name::secondary:
      return dark ? RGBA::bytes(235, 235, 245, 0.6) : RGBA::bytes(60, 60, 67, 0.6);
    case Color::Name::black: return RGBA::bytes(0, 0, 0);
    case Color::Name::white: return RGBA::bytes(255, 255, 255);
    case Color::Name::primary: return dark ? RGBA::bytes(255, 255, 255) : RGBA::bytes(0, 0, 0);
  }
  return RGBA::bytes(0, 0, 0);
}

}  // namespace

std::string_view appearanceName(Appearance appearance) {
  return appearance == Appearance::dark ? "dark" : "light";
}

std::optional<Appearance> appearanceNamed(std::string_view name) {
  if (name == "dark") return Appearance::dark;
  if (name == "light") return Appearance::light;
  return std::nullopt;
}

RGBA resolve(const Color& color, Appearance appearance) {
  const RGBA rgba = base(color.name, appearance);
  return color.opacityValue ? rgba.multipliedAlpha(*color.opacityValue) : rgba;
}

std::ostream& operator<<(std::ostream& os, const RGBA& c) {
  return os << "rgba(" << c.red * 255 << ", " << c.green * 255 << ", " << c.blue * 255 << ", "
            << c.alpha << ")";
}

}  // namespace SwiftUI::Drawing
