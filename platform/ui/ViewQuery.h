#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/ui/View.h"

// Questions to ask a view tree, for tests and tools: every view of a kind,
// every view that passes a test, the text a Text shows. The search visits
// a view before its children, children in order (a button's label is its
// child), so results come in reading order.
namespace SwiftUI {

// Calls visit(view, depth) for the root (depth 0) and every descendant.
inline void forEachView(const View& root, const std::function<void(const View&, int depth)>& visit,
                        int depth = 0) {
  visit(root, depth);
  for (const View& child : root.children()) forEachView(child, visit, depth + 1);
}

inline std::vector<View> findAll(const View& root, const std::function<bool(const View&)>& test) {
  std::vector<View> found;
  forEachView(root, [&](const View& view, int) {
    if (test(view)) found.push_back(view);
  });
  return found;
}

inline std::vector<View> findAll(const View& root, ViewKind kind) {
  return findAll(root, [kind](const View& view) { return view.kind() == kind; });
}

inline std::vector<View> texts(const View& root) {
  return findAll(root, ViewKind::text);
}
inline std::vector<View> buttons(const View& root) {
  return findAll(root, ViewKind::button);
}

// The string a Text view shows at `now`; empty for any other view.
inline std::string textOf(const View& view, Foundation::Date now = Foundation::Date()) {
  const auto* text = view.as<TextNode>();
  return text ? text->displayText(now) : std::string();
}

// The Text views that show `string` at `now`.
inline std::vector<View> textsShowing(const View& root, const std::string& string,
                                      Foundation::Date now = Foundation::Date()) {
  return findAll(root, [&](const View& view) {
    return view.kind() == ViewKind::text && textOf(view, now) == string;
  });
}

}  // namespace SwiftUI
