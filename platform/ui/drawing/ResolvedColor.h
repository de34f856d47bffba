#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

#include "platform/ui/Color.h"

namespace SwiftUI::Drawing {

// The appearance a presentation is drawn in. The Dynamic Island is always
// drawn dark; the lock screen follows the system's appearance. Which one a
// picture is drawn in is its caller's choice (RenderOptions).
enum class Appearance : std::uint8_t { light, dark };
// Both, the default first.
inline constexpr std::array allAppearances{Appearance::dark, Appearance::light};

// "dark" or "light".
std::string_view appearanceName(Appearance appearance);
// The appearance of that name (exactly); nullopt for any other.
std::optional<Appearance> appearanceNamed(std::string_view name);

// A concrete sRGB colour with straight (not premultiplied) alpha, each
// component in 0…1.
struct RGBA {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  // From 0–255 components and an alpha in 0…1.
  static constexpr RGBA bytes(int r, int g, int b, double a = 1) {
    return {r / 255.0, g / 255.0, b / 255.0, a};
  }
  // The same colour with its alpha multiplied by `factor` (clamped to 0…1).
  constexpr RGBA multipliedAlpha(double factor) const {
    const double f = factor != factor ? 0 : factor < 0 ? 0 : factor > 1 ? 1 : factor;
    return {red, green, blue, alpha * f};
  }
  friend constexpr bool operator==(const RGBA&, const RGBA&) = default;
};

std::ostream& operator<<(std::ostream& os, const RGBA& c);

// The sRGB value of a named colour in an appearance:
//
// | name      | light              | dark                |
// |-----------|--------------------|---------------------|
// | blue      | 0,122,255          | 10,132,255          |
// | orange    | 255,149,0          | 255,159,10          |
// | purple    | 175,82,222         | 191,90,242          |
// | green     | 52,199,89          | 48,209,88           |
// | secondary | 60,60,67 at 0.6    | 235,235,245 at 0.6  |
// | black     | 0,0,0              | 0,0,0               |
// | white     | 255,255,255        | 255,255,255         |
// | primary   | 0,0,0              | 255,255,255         |
//
// An explicit opacity multiplies the colour's own alpha, so
// Color::secondary.opacity(0.5) in dark is 235,235,245 at 0.3. Opacities
// outside 0…1 are clamped; NaN counts as 0 (nothing drawn).
RGBA resolve(const Color& color, Appearance appearance);

}  // namespace SwiftUI::Drawing
