#pragma once

// What a view tree shows, found by what it is rather than where it sits:
// each text or symbol with the colour it is drawn in (its own modifier or
// the nearest enclosing one).

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
  std::optional<SwiftUI::Color> color;
  bool localized = false;
};

namespace detail {

inline void collect(const SwiftUI::View& view, Shown style, Foundation::Date now,
                    const std::string& text, std::vector<Shown>& out) {
  using namespace SwiftUI;
  // Modifiers are kept in the order applied: the first is the innermost.
  const auto& modifiers = view.modifiers();
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) {
    if (const auto* c = std::get_if<ForegroundColorModifier>(&*m)) style.color = c->color;
  }
  if (const auto* node = view.as<TextNode>()) {
    style.text = node->displayText(now);
    style.localized = node->kind() == TextNode::Kind::localized;
    if (style.text == text) out.push_back(style);
  } else if (const auto* image = view.as<ImageNode>()) {
    style.text = image->systemName;
    if (style.text == text) out.push_back(style);
  }
  for (const View& child : view.children()) collect(child, style, now, text, out);
}

inline std::vector<Shown> showing(const SwiftUI::View& root, const std::string& text,
                                  Foundation::Date now) {
  std::vector<Shown> out;
  collect(root, Shown{}, now, text, out);
  return out;
}

}  // namespace detail

// The one text or symbol showing `text`; fails the test when there is not
// exactly one.
inline Shown theOne(const SwiftUI::View& root, const std::string& text, Foundation::Date now = {}) {
  const std::vector<Shown> found = detail::showing(root, text, now);
  EXPECT_EQ(found.size(), 1u) << '"' << text << "\" shown " << found.size() << " times";
  return found.empty() ? Shown{} : found.front();
}

inline bool shows(const SwiftUI::View& root, const std::string& text, Foundation::Date now = {}) {
  return !detail::showing(root, text, now).empty();
}

// The intent type the tree's one button runs, or "" when it has none.
inline std::string buttonIntent(const SwiftUI::View& root) {
  const auto found = SwiftUI::buttons(root);
  EXPECT_LE(found.size(), 1u);
  return found.empty() ? std::string()
                       : std::string(found[0].as<SwiftUI::ButtonNode>()->intent.typeName());
}

}  // namespace tolvane::testing
