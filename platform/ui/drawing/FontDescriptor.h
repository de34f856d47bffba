#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

#include "platform/ui/drawing/FontWeight.h"

namespace SwiftUI::Drawing {

// The platform's text styles that have a size of their own at every text
// size (see textStyleMetrics).
enum class TextStyle : std::uint8_t {
  title3,
  headline,
  body,
  callout,
  subheadline,
  footnote,
  caption,
  caption2
};

// The user's text-size setting, smallest first; large is the default.
enum class DynamicTypeSize : std::uint8_t {
  xSmall,
  small,
  medium,
  large,
  xLarge,
  xxLarge,
  xxxLarge,
  accessibility1,
  accessibility2,
  accessibility3,
  accessibility4,
  accessibility5,
};

inline constexpr std::array<DynamicTypeSize, 12> allDynamicTypeSizes{
    DynamicTypeSize::xSmall,         DynamicTypeSize::small,
    DynamicTypeSize::medium,         DynamicTypeSize::large,
    DynamicTypeSize::xLarge,         DynamicTypeSize::xxLarge,
    DynamicTypeSize::xxxLarge,       DynamicTypeSize::accessibility1,
    DynamicTypeSize::accessibility2, DynamicTypeSize::accessibility3,
    DynamicTypeSize::accessibility4, DynamicTypeSize::accessibility5,
};

std::string_view textStyleName(TextStyle style);

// The platform's names, as the command line takes them: "xSmall", "small",
// "medium", "large", "xLarge", "xxLarge", "xxxLarge", "accessibility1" …
// "accessibility5".
std::string_view dynamicTypeSizeName(DynamicTypeSize size);
// The size of that name (exactly, case included); nullopt for any other.
std::optional<DynamicTypeSize> dynamicTypeSizeNamed(std::string_view name);

struct TextStyleMetrics {
  double size;
  FontWeight weight;
  double lineHeight;
};

namespace detail {
// Rows in TextStyle's order, columns in DynamicTypeSize's.
inline constexpr std::uint8_t textStyleSizes[8][12] = {
    {17, 18, 19, 20, 22, 24, 26, 31, 37, 43, 49, 55},  // title3
    {14, 15, 16, 17, 19, 21, 23, 28, 33, 40, 47, 53},  // headline
    {14, 15, 16, 17, 19, 21, 23, 28, 33, 40, 47, 53},  // body
    {13, 14, 15, 16, 18, 20, 22, 26, 32, 38, 44, 51},  // callout
    {12, 13, 14, 15, 17, 19, 21, 25, 30, 36, 42, 49},  // subheadline
    {12, 12, 12, 13, 15, 17, 19, 23, 27, 33, 38, 44},  // footnote
    {11, 11, 11, 12, 14, 16, 18, 22, 26, 32, 37, 43},  // caption
    {11, 11, 11, 11, 13, 15, 17, 20, 24, 29, 34, 40},  // caption2
};
inline constexpr std::uint8_t textStyleLeadings[8] = {5, 5, 5, 5, 5, 5, 4, 2};
}  // namespace detail

// A style's line height minus its point size, the same at every text size.
constexpr double textStyleLeading(TextStyle style) {
  return detail::textStyleLeadings[static_cast<std::size_t>(style)];
}

// A style's point size at a text size:
//
// | style         | xS | S  | M  | L  | xL | xxL | xxxL | A1 | A2 | A3 | A4 | A5 |
// |---------------|----|----|----|----|----|-----|------|----|----|----|----|----|
// | title3        | 17 | 18 | 19 | 20 | 22 | 24  | 26   | 31 | 37 | 43 | 49 | 55 |
// | headline/body | 14 | 15 | 16 | 17 | 19 | 21  | 23   | 28 | 33 | 40 | 47 | 53 |
// | callout       | 13 | 14 | 15 | 16 | 18 | 20  | 22   | 26 | 32 | 38 | 44 | 51 |
// | subheadline   | 12 | 13 | 14 | 15 | 17 | 19  | 21   | 25 | 30 | 36 | 42 | 49 |
// | footnote      | 12 | 12 | 12 | 13 | 15 | 17  | 19   | 23 | 27 | 33 | 38 | 44 |
// | caption       | 11 | 11 | 11 | 12 | 14 | 16  | 18   | 22 | 26 | 32 | 37 | 43 |
// | caption2      | 11 | 11 | 11 | 11 | 13 | 15  | 17   | 20 | 24 | 29 | 34 | 40 |
//
// Weights are regular except headline's semibold. Line heights at the
// default size (large): title3 25, headline and body 22, callout 21,
// subheadline 20, footnote 18, caption 16, caption2 13. At the other sizes a
// style keeps its default leading (line height minus size): body at
// accessibility5 is 53 pt on 58 pt lines. (Our choice: the platform
// publishes its sizes, not its line heights, at the other text sizes.)
constexpr TextStyleMetrics textStyleMetrics(TextStyle style,
                                            DynamicTypeSize typeSize = DynamicTypeSize::large) {
  const double size =
      detail::textStyleSizes[static_cast<std::size_t>(style)][static_cast<std::size_t>(typeSize)];
  const FontWeight weight =
      style == TextStyle::headline ? FontWeight::semibold : FontWeight::regular;
  return {size, weight, size + textStyleLeading(style)};
}

// A resolved font: what a text run is drawn in. Either a text style at a
// text size (its size and line height come from textStyleMetrics) or a
// system font of an explicit point size, whose line height is 1.2 × the
// size and which keeps its size at every text size.
struct FontDescriptor {
  std::optional<TextStyle> style;  // absent: a system font of `size`
  double size = 17;
  FontWeight weight = FontWeight::regular;
  bool monospacedDigits = false;  // tabular figures (all digits one width)

  static constexpr FontDescriptor textStyle(TextStyle s,
                                            std::optional<FontWeight> weight = std::nullopt,
                                            DynamicTypeSize typeSize = DynamicTypeSize::large) {
    const TextStyleMetrics m = textStyleMetrics(s, typeSize);
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

  // The height one line of text takes in layout.
  constexpr double lineHeight() const {
    return style ? size + textStyleLeading(*style) : size * 1.2;
  }

  friend constexpr bool operator==(const FontDescriptor&, const FontDescriptor&) = default;
};

std::ostream& operator<<(std::ostream& os, const FontDescriptor& font);

}  // namespace SwiftUI::Drawing
