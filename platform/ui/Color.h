#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace SwiftUI {

// One of the platform's named colours, optionally at an opacity. A value:
// Color::blue.opacity(0.3) is the blue at 30 %. The concrete sRGB values
// behind the names, per appearance, are resolved at drawing time. primary
// and secondary are the adaptive foregrounds (primary: white in the dark
// appearance, black in the light one); text and symbols with no foreground
// colour set are drawn in primary.
struct Color {
  enum class Name : std::uint8_t { secondary, blue, orange, purple, green, black, white, primary };

  Name name = Name::black;
  // Absent means fully opaque as the named colour itself defines it (the
  // adaptive secondary colour carries its own alpha).
  std::optional<double> opacityValue;

  static const Color secondary;
  static const Color blue;
  static const Color orange;
  static const Color purple;
  static const Color green;
  static const Color black;
  static const Color white;
  static const Color primary;

  // The same colour at the given opacity (replacing any earlier one).
  constexpr Color opacity(double value) const { return Color{name, value}; }

  friend constexpr bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color Color::secondary{Color::Name::secondary, std::nullopt};
inline constexpr Color Color::blue{Color::Name::blue, std::nullopt};
inline constexpr Color Color::orange{Color::Name::orange, std::nullopt};
inline constexpr Color Color::purple{Color::Name::purple, std::nullopt};
inline constexpr Color Color::green{Color::Name::green, std::nullopt};
inline constexpr Color Color::black{Color::Name::black, std::nullopt};
inline constexpr Color Color::white{Color::Name::white, std::nullopt};
inline constexpr Color Color::primary{Color::Name::primary, std::nullopt};

// The platform's name of a colour: "secondary", "blue", …
constexpr std::string_view colorName(Color::Name name) {
  switch (name) {
    case Color::Name::secondary: return "secondary";
    case Color::Name::blue: return "blue";
    case Color::Name::orange: return "orange";
    case Color::Name::purple: return "purple";
    case Color::Name::green: return "green";
    case Color::Name::black: return "black";
    case Color::Name::white: return "white";
    case Color::Name::primary: return "primary";
  }
  return "black";
}

}  // namespace SwiftUI
