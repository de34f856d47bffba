#pragma once

#include <cassert>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "platform/appintents/AppIntent.h"
#include "platform/ui/View.h"

// The concrete views, written the way the platform's views read:
//
//   VStack(HorizontalAlignment::leading, 2, {
//       Text::verbatim(title).font(Font::subheadline).fontWeight(Font::Weight::bold),
//       If(showsStatus, [&] { return Text::verbatim(status); }),
//   })
//
// Each is a View (the classes add constructors only). A stack's children
// are a braced list of views and optional views; an empty optional is left
// out, which is how a child is included "only when": If(condition, build)
// gives the built view when the condition holds, else nothing, and does not
// build it otherwise. For one view or another, use the conditional
// operator.
namespace SwiftUI {

// Children of a stack: views, and optional views that are left out when
// empty.
using ViewList = std::initializer_list<std::optional<View>>;

namespace detail {
std::vector<View> presentChildren(ViewList children);
}

// The view `build()` gives when `condition` holds, else nothing.
template <class Build>
std::optional<View> If(bool condition, Build&& build) {
  if (!condition) return std::nullopt;
  return View(std::forward<Build>(build)());
}

// Children one above the other.
class VStack : public View {
 public:
  explicit VStack(ViewList children)
      : VStack(HorizontalAlignment::center, std::nullopt, children) {}
  VStack(HorizontalAlignment alignment, std::optional<CGFloat> spacing, ViewList children)
      : View(VStackNode{alignment, spacing}, detail::presentChildren(children)) {}
};

// Children side by side.
class HStack : public View {
 public:
  explicit HStack(ViewList children) : HStack(VerticalAlignment::center, std::nullopt, children) {}
  HStack(VerticalAlignment alignment, std::optional<CGFloat> spacing, ViewList children)
      : View(HStackNode{alignment, spacing}, detail::presentChildren(children)) {}
};

// Children on top of each other, the first at the back.
class ZStack : public View {
 public:
  explicit ZStack(ViewList children) : ZStack(Alignment::center, children) {}
  ZStack(Alignment alignment, ViewList children)
      : View(ZStackNode{alignment}, detail::presentChildren(children)) {}
};

// Flexible space along its stack's axis, at least minLength (nullopt: the
// platform's minimum).
class Spacer : public View {
 public:
  explicit Spacer(std::optional<CGFloat> minLength = std::nullopt)
      : View(SpacerNode{minLength}, {}) {}
};

// A text: verbatim, localizable, or a timer.
class Text : public View {
 public:
  // Text built from data, shown exactly as given (the platform's
  // Text(verbatim:) and Text(String)).
  explicit Text(std::string verbatim)
      : View(TextNode{TextNode::Verbatim{std::move(verbatim)}}, {}) {}
  static Text verbatim(std::string text) { return Text(std::move(text)); }

  // A localizable text: the key's format rendered with its arguments.
  explicit Text(LocalizedStringKey key) : View(TextNode{TextNode::Localized{std::move(key)}}, {}) {}

  // Text(timerInterval:pauseTime:countsDown:showsHours:): a timer over the
  // interval, counting down (upper bound minus now) or up, standing still at
  // pauseTime when one is given; m:ss, or h:mm:ss from one hour on when
  // showsHours. The interval must not be reversed.
  Text(TimerInterval timerInterval, std::optional<Foundation::Date> pauseTime, bool countsDown,
       bool showsHours)
      : View(TextNode{TextNode::Timer{timerInterval, pauseTime, countsDown, showsHours}}, {}) {
    assert(timerInterval.lowerBound <= timerInterval.upperBound &&
           "Text(timerInterval:): the interval's lower bound is after its upper bound");
  }

  // A C string is ambiguous between a verbatim and a localizable text:
  // say Text::verbatim(…) or Text(LocalizedStringKey(…)).
  explicit Text(const char*) = delete;
};

// A system symbol by name (the platform's Image(systemName:)).
class Image : public View {
 public:
  explicit Image(std::string systemName) : View(ImageNode{std::move(systemName)}, {}) {}
};

// A linear progress bar at value/total; the value is kept as given.
class ProgressView : public View {
 public:
  ProgressView(double value, double total) : View(ProgressViewNode{value, total}, {}) {}
};

// A circle inscribed in its frame; with stroke() its outline.
class Circle : public View {
 public:
  Circle() : View(CircleNode{}, {}) {}
};

class EmptyView : public View {
 public:
  EmptyView() = default;
};

// A button that runs an app intent when tapped, drawn as its label.
class Button : public View {
 public:
  Button(AppIntents::AnyAppIntent intent, View label)
      : View(ButtonNode{std::move(intent)}, {std::move(label)}) {}
};

}  // namespace SwiftUI
