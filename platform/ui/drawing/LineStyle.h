#pragma once

#include <cstdint>
#include <string_view>

namespace SwiftUI::Drawing {

// How the ends of a stroked line and the corners where two of its segments
// meet are drawn. The view tree's CGLineCap and CGLineJoin are these types,
// so a stroke style set on a view reaches the renderer as it is.
enum class LineCap : std::uint8_t { butt, round, square };
enum class LineJoin : std::uint8_t { miter, round, bevel };

// "butt", "round", "square".
constexpr std::string_view lineCapName(LineCap cap) {
  switch (cap) {
    case LineCap::butt: return "butt";
    case LineCap::round: return "round";
    case LineCap::square: return "square";
  }
  return "butt";
}

// "miter", "round", "bevel".
constexpr std::string_view lineJoinName(LineJoin join) {
  switch (join) {
    case LineJoin::miter: return "miter";
    case LineJoin::round: return "round";
    case LineJoin::bevel: return "bevel";
  }
  return "miter";
}

}  // namespace SwiftUI::Drawing
