#pragma once

#include <functional>
#include <type_traits>
#include <utility>

#include "platform/ui/Color.h"
#include "platform/ui/Modifier.h"
#include "platform/ui/View.h"
#include "platform/widgetkit/ActivityPresentations.h"
#include "platform/widgetkit/ActivityViewContext.h"
#include "platform/widgetkit/DynamicIsland.h"

namespace WidgetKit {

// A widget's declaration of a Live Activity for the attributes type
// `Attributes`: one closure for the lock screen and banner, one for the
// Dynamic Island. The platform calls them whenever it needs a presentation,
// each time with the activity's current context; the configuration keeps
// nothing between calls and adds nothing of its own.
//
//   ActivityConfiguration<DownloadActivityAttributes>(
//       [](const Context& context) { return View(LockScreenView{context}); },
//       [](const Context& context) { return DynamicIsland(…); });
//
// Copying a configuration copies its two function values.
template <class Attributes>
class ActivityConfiguration {
 public:
  using AttributesType = Attributes;
  using Context = ActivityViewContext<Attributes>;
  using Content = std::function<SwiftUI::View(const Context&)>;
  using DynamicIslandContent = std::function<DynamicIsland(const Context&)>;

  // ActivityConfiguration(for:content:dynamicIsland:). Both closures must be
  // set.
  ActivityConfiguration(Content content, DynamicIslandContent dynamicIsland)
      : content_(std::move(content)), dynamicIsland_(std::move(dynamicIsland)) {}

  // The lock-screen (and banner) presentation for `context`.
  SwiftUI::View content(const Context& context) const { return content_(context); }
  // The Dynamic Island for `context`.
  DynamicIsland dynamicIsland(const Context& context) const { return dynamicIsland_(context); }
  // Both, built now: every presentation the platform can ask for.
  ActivityPresentations presentations(const Context& context) const {
    return {content(context), dynamicIsland(context)};
  }

 private:
  Content content_;
  DynamicIslandContent dynamicIsland_;
};

template <class T>
inline constexpr bool isActivityConfiguration = false;
template <class A>
inline constexpr bool isActivityConfiguration<ActivityConfiguration<A>> = true;

// The lock-screen modifiers, applied to the content closure's view:
//
//   View(content).applying(activityBackgroundTint(Color::black.opacity(0.3)))
//
// activityBackgroundTint: the colour the platform fills the activity's
// background with. activitySystemActionForegroundColor: the colour of the
// controls the platform itself draws on the activity. Neither changes how
// the view draws; they travel with the presentation to the platform.
inline SwiftUI::Modifier activityBackgroundTint(SwiftUI::Color color) {
  return SwiftUI::ActivityBackgroundTintModifier{color};
}
inline SwiftUI::Modifier activitySystemActionForegroundColor(SwiftUI::Color color) {
  return SwiftUI::ActivitySystemActionForegroundColorModifier{color};
}

}  // namespace WidgetKit
