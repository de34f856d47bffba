#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

namespace SwiftUI::Drawing {

// The platform's text styles at the default text size.
enum class TextStyle : std::uint8_t { title3, body, subheadline, caption, caption2 };

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

std::string_view textStyleName(TextStyle style);
std::string_view fontWeightName(FontWeight weight);

struct TextStyleMetrics {
  double size;
  FontWeight weight;
  double lineHeight;
};

// | style       | size | weight  | line height |
// |-------------|------|---------|-------------|
// | title3      | 20   | regular | 25          |
// | body        | 17   | regular | 22          |
// | subheadline | 15   | regular | 20          |
// | caption     | 12   | regular | 16          |
// | caption2    | 11   | regular | 13          |
constexpr TextStyleMetrics textStyleMetrics(TextStyle style) {
  switch (style) {
    case TextStyle::title3: return {20, FontWeight::regular, 25};
    case TextStyle::body: return {17, FontWeight::regular, 22};
    case TextStyle::subheadline: return {15, FontWeight::regular, 20};
    case TextStyle::caption: return {12, FontWeight::regular, 16};
    case TextStyle::caption2: return {11, FontWeight::regular, 13};
  }
  return {17, FontWeight::regular, 22};
}

// A resolved font: what a text run is drawn in. Either a text style (its
// size and line height come from the table above) or a system font of an
// explicit point size, whose line height is 1.2 × the size.
struct FontDescriptor {
  std::optional<TextStyle> style;  // absent: a system font of `size`
  double size = 17;
  FontWeight weight = FontWeight::regular;
  bool monospacedDigits = false;  // tabular figures (all digits one width)

  static constexpr FontDescriptor textStyle(TextStyle s,
                                            std::optional<FontWeight> weight = std::nullopt) {
    const TextStyleMetrics m = textStyleMetrics(s);
    return {s, m.size, weight.value_or(m.weight), false};
  }
  static constexpr FontDescriptor system(double pointSize,
                                         FontWeight weight = FontWeight::regular) {
    return {std::nullopt, pointSize, weight, false};
  }
  constexpr FontDescriptor withWeight(FontWeight w) const {
    return {style, size, w, monospacedDigits};
  }
  constexpr FontDescriptor withMonospacedDigits(bool on = true) const {
    return {style, size, weight, on};
  }

  constexpr double lineHeight() const {
    return style ? textStyleMetrics(*style).lineHeight : size * 1.2;
  }

  friend constexpr bool operator==(const FontDescriptor&, const FontDescriptor&) = default;
};

std::ostream& operator<<(std::ostream& os, const FontDescriptor& font);

}  // namespace SwiftUI::Drawing
