#pragma once

#include <cstdint>
#include <string_view>

namespace SwiftUI::Drawing {

// The weight of a font, lightest first. The view tree's Font::Weight is this
// type, so a weight set on a view reaches the renderer as it is.
enum class FontWeight : std::uint8_t {
  ultraLight,
  thin,
  light,
  regular,
  medium,
  semibold,
  bold,
  heavy,
  black
};

// "ultraLight", "regular", "semibold", …
constexpr std::string_view fontWeightName(FontWeight weight) {
  switch (weight) {
    case FontWeight::ultraLight: return "ultraLight";
    case FontWeight::thin: return "thin";
    case FontWeight::light: return "light";
    case FontWeight::regular: return "regular";
    case FontWeight::medium: return "medium";
    case FontWeight::semibold: return "semibold";
    case FontWeight::bold: return "bold";
    case FontWeight::heavy: return "heavy";
    case FontWeight::black: return "black";
  }
  return "regular";
}

}  // namespace SwiftUI::Drawing
