#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/appintents/AppIntent.h"
#include "platform/foundation/Date.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/LocalizedStringKey.h"
#include "platform/ui/Modifier.h"

// The declarative view tree.
//
// A View is an immutable value: a shared pointer to one node that holds what
// the view shows (its kind and that kind's fields), its modifiers in the
// order they were applied, and its children. Copying a view copies a
// pointer; a modifier method returns a new view and leaves the old one as it
// was; two views compare equal when their trees are equal, node by node.
// Building a view has no side effects. A view that was moved from may only be
// assigned to or destroyed.
//
//   Text::verbatim("Paused").font(Font::caption2).foregroundColor(Color::orange)
//
// The concrete views (VStack, Text, Button, …) are in Views.h. Code that
// walks a tree (describe, layout, drawing, tests) reads kind(), as<T>(),
// modifiers() and children(); ViewQuery.h has search helpers.
namespace SwiftUI {

class View;

// The time span of a timer text, lowerBound ≤ upperBound.
struct TimerInterval {
  Foundation::Date lowerBound;
  Foundation::Date upperBound;
  friend bool operator==(const TimerInterval&, const TimerInterval&) = default;
};

// The fields of each kind of view.

struct VStackNode {
  HorizontalAlignment alignment = HorizontalAlignment::center;
  std::optional<CGFloat> spacing;  // nullopt: the platform's spacing
  friend bool operator==(const VStackNode&, const VStackNode&) = default;
};
struct HStackNode {
  VerticalAlignment alignment = VerticalAlignment::center;
  std::optional<CGFloat> spacing;
  friend bool operator==(const HStackNode&, const HStackNode&) = default;
};
struct ZStackNode {
  Alignment alignment = Alignment::center;
  friend bool operator==(const ZStackNode&, const ZStackNode&) = default;
};
struct SpacerNode {
  std::optional<CGFloat> minLength;  // nullopt: the platform's minimum
  friend bool operator==(const SpacerNode&, const SpacerNode&) = default;
};
struct TextNode {
  // Shown exactly as given.
  struct Verbatim {
    std::string text;
    friend bool operator==(const Verbatim&, const Verbatim&) = default;
  };
  // A localizable format with its arguments, shown in its default form.
  struct Localized {
    LocalizedStringKey key;
    friend bool operator==(const Localized&, const Localized&) = default;
  };
  // A timer the platform keeps up to date (Text(timerInterval:pauseTime:
  // countsDown:showsHours:)).
  struct Timer {
    TimerInterval interval;
    std::optional<Foundation::Date> pauseTime;
    bool countsDown = true;
    bool showsHours = true;
    friend bool operator==(const Timer&, const Timer&) = default;
  };
  enum class Kind : std::uint8_t { verbatim, localized, timer };

  std::variant<Verbatim, Localized, Timer> content;

  Kind kind() const { return static_cast<Kind>(content.index()); }

  // The text as shown at `now` (only a timer's text depends on it).
  std::string displayText(Foundation::Date now) const;

  friend bool operator==(const TextNode&, const TextNode&) = default;
};
struct ImageNode {
  std::string systemName;
  friend bool operator==(const ImageNode&, const ImageNode&) = default;
};
struct ProgressViewNode {
  double value = 0;  // as given, not clamped
  double total = 1;
  friend bool operator==(const ProgressViewNode&, const ProgressViewNode&) = default;
};
struct CircleNode {
  friend bool operator==(const CircleNode&, const CircleNode&) = default;
};
struct EmptyViewNode {
  friend bool operator==(const EmptyViewNode&, const EmptyViewNode&) = default;
};
// A button's one child is its label.
struct ButtonNode {
  AppIntents::AnyAppIntent intent;
  friend bool operator==(const ButtonNode&, const ButtonNode&) = default;
};

using NodeContent =
    std::variant<VStackNode, HStackNode, ZStackNode, SpacerNode, TextNode, ImageNode,
                 ProgressViewNode, CircleNode, EmptyViewNode, ButtonNode>;

// The kind of a view, in the order of NodeContent.
enum class ViewKind : std::uint8_t {
  vstack,
  hstack,
  zstack,
  spacer,
  text,
  image,
  progressView,
  circle,
  emptyView,
  button,
};

// The platform's type name of a kind: "VStack", "ProgressView", …
std::string_view nameOf(ViewKind kind);

// A type of the system's own that composes views: anything with a body().
// Such a value converts to the View its body gives, evaluated then.
template <class V>
concept CustomView = requires(const V& view) {
  { view.body() } -> std::convertible_to<View>;
};

class View {
 public:
  // An EmptyView.
  View();

  // The body of a custom view (PhaseBadge and the like).
  template <CustomView V>
  View(const V& view)  // NOLINT(google-explicit-constructor): composes like the platform's views
      : View(static_cast<View>(view.body())) {}

  ViewKind kind() const;
  const NodeContent& content() const;
  // The kind's fields when the view is of kind T (TextNode, ButtonNode, …),
  // else nullptr. The pointer lives as long as any copy of this view.
  template <class T>
  const T* as() const {
    return std::get_if<T>(&content());
  }
  const std::vector<Modifier>& modifiers() const;
  // Stacks: their children in order; a button: its label.
  const std::vector<View>& children() const;
  // The first modifier of type M, else nullptr.
  template <class M>
  const M* modifier() const {
    for (const Modifier& m : modifiers()) {
      if (const M* found = std::get_if<M>(&m)) return found;
    }
    return nullptr;
  }

  // Modifiers: each returns this view with one more modifier at the end.
  // On a temporary view whose node nobody else shares (a chain of
  // modifiers), the node is extended in place instead of copied.
  View font(Font font) const&;
  View font(Font font) &&;
  View fontWeight(Font::Weight weight) const&;
  View fontWeight(Font::Weight weight) &&;
  View foregroundColor(Color color) const&;
  View foregroundColor(Color color) &&;
  View lineLimit(std::optional<int> lines) const&;
  View lineLimit(std::optional<int> lines) &&;
  View truncationMode(TruncationMode mode) const&;
  View truncationMode(TruncationMode mode) &&;
  View tint(Color color) const&;
  View tint(Color color) &&;
  // Pads all edges by `length` (nullopt: the platform's default padding).
  View padding(std::optional<CGFloat> length = std::nullopt) const&;
  View padding(std::optional<CGFloat> length = std::nullopt) &&;
  View padding(Edge::Set edges, std::optional<CGFloat> length = std::nullopt) const&;
  View padding(Edge::Set edges, std::optional<CGFloat> length = std::nullopt) &&;
  View frame(FrameModifier frame) const&;
  View frame(FrameModifier frame) &&;
  View trim(CGFloat from, CGFloat to) const&;
  View trim(CGFloat from, CGFloat to) &&;
  View stroke(Color color, StrokeStyle style) const&;
  View stroke(Color color, StrokeStyle style) &&;
  View stroke(Color color, CGFloat lineWidth = 1) const&;
  View stroke(Color color, CGFloat lineWidth = 1) &&;
  View rotationEffect(Angle angle, UnitPoint anchor = UnitPoint::center) const&;
  View rotationEffect(Angle angle, UnitPoint anchor = UnitPoint::center) &&;
  View scaleEffect(CGFloat x, CGFloat y, UnitPoint anchor = UnitPoint::center) const&;
  View scaleEffect(CGFloat x, CGFloat y, UnitPoint anchor = UnitPoint::center) &&;
  View opacity(double opacity) const&;
  View opacity(double opacity) &&;
  View monospacedDigit() const&;
  View monospacedDigit() &&;
  View multilineTextAlignment(TextAlignment alignment) const&;
  View multilineTextAlignment(TextAlignment alignment) &&;
  View buttonStyle(ButtonStyle style) const&;
  View buttonStyle(ButtonStyle style) &&;
  // Any of the above as a value.
  View applying(Modifier modifier) const&;
  View applying(Modifier modifier) &&;

  // Deep equality: same kind and fields, same modifiers in the same order,
  // equal children. Views that share a node are equal at once.
  friend bool operator==(const View& a, const View& b);

 protected:
  View(NodeContent content, std::vector<View> children);

 private:
  struct Node;
  explicit View(std::shared_ptr<Node> node);
  // Never changed once shared: only applying() && extends a node, and only
  // while this view is its sole owner.
  std::shared_ptr<Node> node_;
};

}  // namespace SwiftUI
