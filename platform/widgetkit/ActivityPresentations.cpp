#include "platform/widgetkit/ActivityPresentations.h"

#include "platform/ui/Describe.h"

namespace WidgetKit {

void describe(Foundation::JSONWriter& w, const ActivityPresentations& presentations,
              Foundation::Date now) {
  const DynamicIsland& island = presentations.dynamicIsland;
  w.beginObject();
  w.key("lockScreen");
  SwiftUI::describe(w, presentations.lockScreen, now);
  w.key("dynamicIsland");
  w.beginObject();
  w.key("expanded");
  w.beginObject();
  for (const DynamicIslandExpandedRegion& region : island.expanded()) {
    w.key(nameOf(region.position));
    w.beginObject();
    w.key("priority");
    w.number(region.priority);
    w.key("content");
    SwiftUI::describe(w, region.content, now);
    w.endObject();
  }
  w.endObject();
  w.key("compactLeading");
  SwiftUI::describe(w, island.compactLeading(), now);
  w.key("compactTrailing");
  SwiftUI::describe(w, island.compactTrailing(), now);
  w.key("minimal");
  SwiftUI::describe(w, island.minimal(), now);
  w.key("widgetURL");
  if (island.widgetURLValue()) {
    w.string(*island.widgetURLValue());
  } else {
    w.null();
  }
  w.key("keylineTint");
  if (island.keylineTintValue()) {
    SwiftUI::describe(w, *island.keylineTintValue());
  } else {
    w.null();
  }
  w.endObject();
  w.endObject();
}

std::string describe(const ActivityPresentations& presentations, Foundation::Date now,
                     bool prettyPrinted) {
  Foundation::JSONWriter writer({.prettyPrinted = prettyPrinted, .escapeSlashes = false});
  describe(writer, presentations, now);
  return writer.take();
}

}  // namespace WidgetKit
