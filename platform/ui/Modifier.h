#pragma once

#include <optional>
#include <variant>

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"

namespace SwiftUI {

// The modifiers a view can carry, one struct each, named as the platform
// names the modifier. A view keeps them in the order they were applied; the
// order matters (a frame before a padding is not a padding before a frame).

struct FontModifier {
  Font font;
  friend bool operator==(const FontModifier&, const FontModifier&) = default;
};
struct FontWeightModifier {
  Font::Weight weight;
  friend bool operator==(const FontWeightModifier&, const FontWeightModifier&) = default;
};
struct ForegroundColorModifier {
  Color color;
  friend bool operator==(const ForegroundColorModifier&, const ForegroundColorModifier&) = default;
};
// nullopt: no limit.
struct LineLimitModifier {
  std::optional<int> lines;
  friend bool operator==(const LineLimitModifier&, const LineLimitModifier&) = default;
};
struct TruncationModeModifier {
  TruncationMode mode;
  friend bool operator==(const TruncationModeModifier&, const TruncationModeModifier&) = default;
};
struct TintModifier {
  Color color;
  friend bool operator==(const TintModifier&, const TintModifier&) = default;
};
// length nullopt: the platform's default padding for those edges.
struct PaddingModifier {
  Edge::Set edges = Edge::Set::all;
  std::optional<CGFloat> length;
  friend bool operator==(const PaddingModifier&, const PaddingModifier&) = default;
};
// A fixed frame (width, height) or a flexible one (min/ideal/max bounds);
// unset bounds follow the content. maxWidth = infinity fills the width
// offered. Written with designated initialisers:
// frame({.width = 28, .height = 28}), frame({.maxWidth = infinity}).
struct FrameModifier {
  std::optional<CGFloat> width = std::nullopt;
  std::optional<CGFloat> height = std::nullopt;
  std::optional<CGFloat> minWidth = std::nullopt;
  std::optional<CGFloat> idealWidth = std::nullopt;
  std::optional<CGFloat> maxWidth = std::nullopt;
  std::optional<CGFloat> minHeight = std::nullopt;
  std::optional<CGFloat> idealHeight = std::nullopt;
  std::optional<CGFloat> maxHeight = std::nullopt;
  Alignment alignment = Alignment::center;
  friend bool operator==(const FrameModifier&, const FrameModifier&) = default;
};
// Keeps the part of a shape's outline between the two fractions of its
// length (clamped to 0…1 when drawn; from ≥ to draws nothing).
struct TrimModifier {
  CGFloat from = 0;
  CGFloat to = 1;
  friend bool operator==(const TrimModifier&, const TrimModifier&) = default;
};
// Strokes a shape's outline instead of filling it.
struct StrokeModifier {
  Color color;
  StrokeStyle style;
  friend bool operator==(const StrokeModifier&, const StrokeModifier&) = default;
};
struct RotationEffectModifier {
  Angle angle = Angle::degrees(0);
  UnitPoint anchor = UnitPoint::center;
  friend bool operator==(const RotationEffectModifier&, const RotationEffectModifier&) = default;
};
struct ScaleEffectModifier {
  CGFloat x = 1;
  CGFloat y = 1;
  UnitPoint anchor = UnitPoint::center;
  friend bool operator==(const ScaleEffectModifier&, const ScaleEffectModifier&) = default;
};
struct OpacityModifier {
  double opacity = 1;
  friend bool operator==(const OpacityModifier&, const OpacityModifier&) = default;
};
struct MonospacedDigitModifier {
  friend bool operator==(const MonospacedDigitModifier&, const MonospacedDigitModifier&) = default;
};
struct MultilineTextAlignmentModifier {
  TextAlignment alignment;
  friend bool operator==(const MultilineTextAlignmentModifier&,
                         const MultilineTextAlignmentModifier&) = default;
};
struct ButtonStyleModifier {
  ButtonStyle style;
  friend bool operator==(const ButtonStyleModifier&, const ButtonStyleModifier&) = default;
};
// The two lock-screen modifiers of a Live Activity's content (WidgetKit's
// activityBackgroundTint and activitySystemActionForegroundColor, applied
// through View::applying): the colour the platform fills the activity's
// background with, and the colour of the controls it draws on the activity
// itself. They act on the presentation as a whole, not on the view's own
// drawing.
struct ActivityBackgroundTintModifier {
  Color color;
  friend bool operator==(const ActivityBackgroundTintModifier&,
                         const ActivityBackgroundTintModifier&) = default;
};
struct ActivitySystemActionForegroundColorModifier {
  Color color;
  friend bool operator==(const ActivitySystemActionForegroundColorModifier&,
                         const ActivitySystemActionForegroundColorModifier&) = default;
};

using Modifier =
    std::variant<FontModifier, FontWeightModifier, ForegroundColorModifier, LineLimitModifier,
                 TruncationModeModifier, TintModifier, PaddingModifier, FrameModifier, TrimModifier,
                 StrokeModifier, RotationEffectModifier, ScaleEffectModifier, OpacityModifier,
                 MonospacedDigitModifier, MultilineTextAlignmentModifier, ButtonStyleModifier,
                 ActivityBackgroundTintModifier, ActivitySystemActionForegroundColorModifier>;

}  // namespace SwiftUI
