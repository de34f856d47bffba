#pragma once

#include "platform/foundation/Date.h"

namespace WidgetKit {

// What the platform hands an activity configuration's closures each time it
// needs a presentation: the activity's current dynamic state, its static
// attributes and the moment the presentation shows. A plain value; a view
// that keeps a context owns its copy.
//
// `Attributes` is an activity attributes type (see ActivityAttributes in
// HostedActivity.h) with a nested ContentState. Built as
// ActivityViewContext<A>{state, attributes, date}.
template <class Attributes>
struct ActivityViewContext {
  // The content state the host app last pushed, decoded.
  typename Attributes::ContentState state;
  // The attributes the activity was started with.
  Attributes attributes;
  // The current date as the view is evaluated: what a view on the platform
  // reads from its timeline entry. A view that counts down or compares with
  // "now" reads it here, never from a clock.
  Foundation::Date date;
};

}  // namespace WidgetKit
