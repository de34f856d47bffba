#include "platform/ui/LayoutEnvironment.h"

#include <variant>

namespace SwiftUI {

namespace detail {

bool applyToEnvironment(Environment& env, const Modifier& modifier) {
  if (const auto* m = std::get_if<FontModifier>(&modifier)) {
    env.font = m->font;
  } else if (const auto* w = std::get_if<FontWeightModifier>(&modifier)) {
    env.weight = w->weight;
  } else if (const auto* c = std::get_if<ForegroundColorModifier>(&modifier)) {
    env.foreground = c->color;
  } else if (const auto* t = std::get_if<TintModifier>(&modifier)) {
    env.tint = t->color;
  } else if (const auto* l = std::get_if<LineLimitModifier>(&modifier)) {
    env.lineLimit = l->lines;
  } else if (const auto* a = std::get_if<MultilineTextAlignmentModifier>(&modifier)) {
    env.textAlignment = a->alignment;
  } else if (std::holds_alternative<MonospacedDigitModifier>(modifier)) {
    env.monospacedDigits = true;
  } else {
    return std::holds_alternative<TruncationModeModifier>(modifier) ||
           std::holds_alternative<ButtonStyleModifier>(modifier);
  }
  return true;
}

}  // namespace detail

Drawing::FontDescriptor fontDescriptor(const std::optional<Font>& font,
                                       const std::optional<Font::Weight>& weight,
                                       bool monospacedDigits, Drawing::DynamicTypeSize typeSize) {
  using Drawing::FontDescriptor;
  using Drawing::TextStyle;
  const auto styled = [typeSize](TextStyle style) {
    return FontDescriptor::textStyle(style, std::nullopt, typeSize);
  };
  FontDescriptor d = styled(TextStyle::body);
  if (font) {
    if (const auto* system = std::get_if<Font::System>(&font->value)) {
      d = FontDescriptor::system(system->size);
    } else {
      switch (std::get<Font::TextStyle>(font->value)) {
        case Font::TextStyle::title3: d = styled(TextStyle::title3); break;
        case Font::TextStyle::headline: d = styled(TextStyle::headline); break;
        case Font::TextStyle::body: d = styled(TextStyle::body); break;
        case Font::TextStyle::callout: d = styled(TextStyle::callout); break;
        case Font::TextStyle::subheadline: d = styled(TextStyle::subheadline); break;
        case Font::TextStyle::footnote: d = styled(TextStyle::footnote); break;
        case Font::TextStyle::caption: d = styled(TextStyle::caption); break;
        case Font::TextStyle::caption2: d = styled(TextStyle::caption2); break;
        case Font::TextStyle::largeTitle: d = FontDescriptor::system(34); break;
        case Font::TextStyle::title: d = FontDescriptor::system(28); break;
        case Font::TextStyle::title2: d = FontDescriptor::system(22); break;
      }
    }
  }
  if (weight) d = d.withWeight(*weight);
  return d.withMonospacedDigits(monospacedDigits);
}

}  // namespace SwiftUI
