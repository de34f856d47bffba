#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

#include "platform/ui/Geometry.h"
#include "platform/ui/drawing/FontWeight.h"

namespace SwiftUI {

// A font: one of the platform's text styles (its size follows the text-size
// setting), or the system font at a fixed point size (which does not). A
// value; compare with ==. Weights are applied separately (fontWeight).
struct Font {
  enum class TextStyle : std::uint8_t {
    largeTitle,
    title,
    title2,
    title3,
    headline,
    subheadline,
    body,
    callout,
    footnote,
    caption,
    caption2,
  };
  using Weight = Drawing::FontWeight;
  // The system font at `size` points, regular weight, default design.
  struct System {
    CGFloat size = 17;
    friend constexpr bool operator==(System, System) = default;
  };

  std::variant<TextStyle, System> value = TextStyle::body;

  static const Font largeTitle, title, title2, title3, headline, subheadline, body, callout,
      footnote, caption, caption2;
  static constexpr Font system(CGFloat size) { return Font{System{size}}; }

  friend constexpr bool operator==(const Font&, const Font&) = default;
};

inline constexpr Font Font::largeTitle{Font::TextStyle::largeTitle};
inline constexpr Font Font::title{Font::TextStyle::title};
inline constexpr Font Font::title2{Font::TextStyle::title2};
inline constexpr Font Font::title3{Font::TextStyle::title3};
inline constexpr Font Font::headline{Font::TextStyle::headline};
inline constexpr Font Font::subheadline{Font::TextStyle::subheadline};
inline constexpr Font Font::body{Font::TextStyle::body};
inline constexpr Font Font::callout{Font::TextStyle::callout};
inline constexpr Font Font::footnote{Font::TextStyle::footnote};
inline constexpr Font Font::caption{Font::TextStyle::caption};
inline constexpr Font Font::caption2{Font::TextStyle::caption2};

// "title3", "caption2", …
std::string_view nameOf(Font::TextStyle style);

}  // namespace SwiftUI
