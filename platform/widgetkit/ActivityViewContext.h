#pragma once

namespace WidgetKit {

// What the platform hands an activity configuration's closures each time it
// needs a presentation: the activity's current dynamic state and its static
// attributes. A plain value; a view that keeps a context owns its copy.
//
// `Attributes` is an activity attributes type (see ActivityAttributes in
// HostedActivity.h) with a nested ContentState. Built as
// ActivityViewContext<A>{state, attributes}.
template <class Attributes>
struct ActivityViewContext {
  // The content state the host app last pushed, decoded.
  typename Attributes::ContentState state;
  // The attributes the activity was started with.
  Attributes attributes;
};

}  // namespace WidgetKit
