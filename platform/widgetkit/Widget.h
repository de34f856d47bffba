#pragma once

#include <tuple>
#include <type_traits>

#include "platform/widgetkit/ActivityConfiguration.h"

namespace WidgetKit {

// A widget: a value whose body() declares its configuration. A widget may
// also offer content states for previews, as a static previews() returning
// ActivityPreviews (HostedActivity.h); the platform host's gallery draws
// them. The only
// configuration this platform knows is the Live Activity's
// (ActivityConfiguration). Widgets hold nothing the platform relies on; it
// creates and drops them at will.
template <class W>
concept Widget = std::is_default_constructible_v<W> && requires(const W& widget) {
  {widget.body()};
} && isActivityConfiguration<std::remove_cvref_t<decltype(std::declval<const W&>().body())>>;

// Builds a widget bundle's body from its widgets, in order.
struct WidgetBundleBuilder {
  template <Widget... Widgets>
  static std::tuple<Widgets...> buildBlock(Widgets... widgets) {
    return std::tuple<Widgets...>(std::move(widgets)...);
  }
};

template <class T>
inline constexpr bool isWidgetTuple = false;
template <Widget... Widgets>
inline constexpr bool isWidgetTuple<std::tuple<Widgets...>> = true;

// A widget bundle: a value whose body() is built with
// WidgetBundleBuilder::buildBlock from the widgets the extension offers.
template <class B>
concept WidgetBundleType = std::is_default_constructible_v<B> && requires(const B& bundle) {
  {bundle.body()};
} && isWidgetTuple<std::remove_cvref_t<decltype(std::declval<const B&>().body())>>;

}  // namespace WidgetKit
