#pragma once

#include <string>

#include "platform/foundation/Date.h"
#include "platform/foundation/JSONWriter.h"
#include "platform/ui/View.h"
#include "platform/widgetkit/DynamicIsland.h"

namespace WidgetKit {

// Every presentation of an activity for one content state, as the platform
// gets them from the activity's configuration: the lock-screen (and banner)
// view with the configuration's modifiers on it, and the Dynamic Island.
// Five presentations in all: lock screen, expanded, compact leading,
// compact trailing, minimal.
struct ActivityPresentations {
  SwiftUI::View lockScreen;
  DynamicIsland dynamicIsland;

  friend bool operator==(const ActivityPresentations&, const ActivityPresentations&) = default;
};

// Writes the presentations in the describe format, texts as shown at `now`:
//
//   {"lockScreen": NODE,
//    "dynamicIsland": {
//      "expanded": {"center": {"priority": 0, "content": NODE}, "leading": …},
//      "compactLeading": NODE, "compactTrailing": NODE, "minimal": NODE,
//      "widgetURL": "plumara://downloads", "keylineTint": COLOR}}
//
// NODE and COLOR are SwiftUI::describe's. Expanded regions are keyed by
// position, in the order declared; an unset widget URL or keyline tint is
// null. One value is written (the writer may be inside a larger document).
void describe(Foundation::JSONWriter& writer, const ActivityPresentations& presentations,
              Foundation::Date now);

// The description as a string, "/" unescaped.
std::string describe(const ActivityPresentations& presentations, Foundation::Date now,
                     bool prettyPrinted = false);

}  // namespace WidgetKit
