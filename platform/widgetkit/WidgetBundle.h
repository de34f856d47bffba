#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <tuple>
#include <typeinfo>
#include <utility>

#include "platform/foundation/JSONDecoder.h"
#include "platform/widgetkit/HostedActivity.h"
#include "platform/widgetkit/Widget.h"

namespace WidgetKit {

namespace detail {
// The unqualified name of a type ("DownloadActivityAttributes" for
// tolvane::DownloadActivityAttributes), from its run-time type information.
std::string unqualifiedTypeName(const std::type_info& type);
}  // namespace detail

// The platform's side of a widget bundle: it asks the bundle for its
// widgets and takes the Live Activity they declare, with its types erased,
// for whoever serves it (the platform host's command line,
// platform/host/PlatformHost.h).
//
// This platform serves one activity a bundle: the bundle's body must hold
// exactly one widget (checked at compile time).
struct WidgetBundle {
  // The bundle's one activity with its types erased: validation of its
  // states and attributes, its presentations of a JSON state, and the
  // preview states its widget offers (a static previews() returning
  // ActivityPreviews), if any.
  template <WidgetBundleType Bundle>
  static HostedActivity hostedActivity() {
    auto widgets = Bundle().body();
    static_assert(std::tuple_size_v<decltype(widgets)> == 1,
                  "this platform serves one Live Activity a widget bundle");
    using W = std::tuple_element_t<0, decltype(widgets)>;
    HostedActivity activity = hostedActivity(std::get<0>(widgets).body());
    if constexpr (requires {
                    { W::previews() } -> std::convertible_to<ActivityPreviews>;
                  }) {
      activity.previews = W::previews();
    }
    return activity;
  }

  // A configuration with its types erased. The attributes of a context built
  // from a JSON state alone are default values.
  template <ActivityAttributes A>
  static HostedActivity hostedActivity(ActivityConfiguration<A> configuration) {
    HostedActivity activity = HostedActivity::make<A>(detail::unqualifiedTypeName(typeid(A)));
    activity.presentContentState = [configuration = std::move(configuration)](std::string_view json,
                                                                              Foundation::Date now)
        -> Foundation::Result<ActivityPresentations, Foundation::DecodingError> {
      auto state = Foundation::JSONDecoder().decode<typename A::ContentState>(json);
      if (!state) return state.error();
      return configuration.presentations(ActivityViewContext<A>{std::move(*state), A{}, now});
    };
    return activity;
  }
};

}  // namespace WidgetKit
