#pragma once

// What a view tree shows, found by what it is rather than where it sits:
// each text with the colour, font and weight it is drawn in (its own
// modifier or the nearest enclosing one), and each symbol.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/ui/ViewQuery.h"
#include "platform/ui/Views.h"

namespace tolvane::testing {

struct Shown {
  std::string text;  // the string shown, or the symbol's name
  SwiftUI::ViewKind kind = SwiftUI::ViewKind::text;
  std::optional<SwiftUI::Color> color;
  std::optional<SwiftUI::Font> font;
  std::optional<SwiftUI::Font::Weight> weight;
  bool localized = false;
};

namespace detail {

inline void collect(const SwiftUI::View& view, Shown style, Foundation::Date now,
                    std::vector<Shown>& out) {
  using namespace SwiftUI;
  // Modifiers are kept in the order applied: the first is the innermost.
  const auto& modifiers = view.modifiers();
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) {
    if (const auto* c = std::get_if<ForegroundColorModifier>(&*m)) style.color = c->color;
    if (const auto* f = std::get_if<FontModifier>(&*m)) style.font = f->font;
    if (const auto* w = std::get_if<FontWeightModifier>(&*m)) style.weight = w->weight;
  }
  if (const auto* text = view.as<TextNode>()) {
    style.text = text->displayText(now);
    style.kind = ViewKind::text;
    style.localized = text->kind() == TextNode::Kind::localized;
    out.push_back(style);
  } else if (const auto* image = view.as<ImageNode>()) {
    style.text = image->systemName;
    style.kind = ViewKind::image;
    out.push_back(style);
  }
  for (const View& child : view.children()) collect(child, style, now, out);
}

}  // namespace detail

// Every text and symbol of `root` in reading order.
inline std::vector<Shown> shownIn(const SwiftUI::View& root, Foundation::Date now = {}) {
  std::vector<Shown> out;
  detail::collect(root, Shown{}, now, out);
  return out;
}

// The one text or symbol showing `text`; fails the test when there is not
// exactly one.
inline Shown theOne(const SwiftUI::View& root, const std::string& text, Foundation::Date now = {}) {
  std::vector<Shown> found;
  for (Shown& s : shownIn(root, now)) {
    if (s.text == text) found.push_back(std::move(s));
  }
  EXPECT_EQ(found.size(), 1u) << '"' << text << "\" shown " << found.size() << " times";
  return found.empty() ? Shown{} : found.front();
}

inline bool shows(const SwiftUI::View& root, const std::string& text, Foundation::Date now = {}) {
  for (const Shown& s : shownIn(root, now)) {
    if (s.text == text) return true;
  }
  return false;
}

// The intent type the tree's one button runs, or "" when it has none.
inline std::string buttonIntent(const SwiftUI::View& root) {
  const auto found = SwiftUI::buttons(root);
  EXPECT_LE(found.size(), 1u);
  return found.empty() ? std::string()
                       : std::string(found[0].as<SwiftUI::ButtonNode>()->intent.typeName());
}

}  // namespace tolvane::testing
