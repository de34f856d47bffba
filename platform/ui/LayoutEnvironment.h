#pragma once

#include <optional>

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Layout.h"
#include "platform/ui/Modifier.h"
#include "platform/ui/drawing/FontDescriptor.h"

// The layout engine's parts, for its own files (Layout.cpp, TextLayout.cpp,
// StackLayout.cpp, DrawCommands.cpp); not an interface of the view layer.
namespace SwiftUI::detail {

// What modifiers hand down to everything inside them, as they set it.
struct Environment {
  std::optional<Font> font;
  std::optional<Font::Weight> weight;
  std::optional<Color> foreground;
  std::optional<Color> tint;
  std::optional<int> lineLimit;
  TextAlignment textAlignment = TextAlignment::leading;
  bool monospacedDigits = false;
  Drawing::DynamicTypeSize typeSize = Drawing::DynamicTypeSize::large;

  Drawing::FontDescriptor resolvedFont() const {
    return fontDescriptor(font, weight, monospacedDigits, typeSize);
  }
  // With the defaults filled in: what drawing reads.
  ResolvedEnvironment resolved() const {
    return {resolvedFont(), foreground.value_or(Color::primary), tint.value_or(Color::blue)};
  }
};

// Sets the environment value an environment modifier carries; false for any
// other modifier. Called from the outermost modifier inwards, so the
// innermost setting is the one left.
bool applyToEnvironment(Environment& env, const Modifier& modifier);

}  // namespace SwiftUI::detail
