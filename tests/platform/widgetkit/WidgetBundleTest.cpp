// The widget layer with a small activity of the test's own: the describe
// format of an activity's presentations and how WidgetBundle hands a
// configuration to whoever serves it.
#include "platform/widgetkit/WidgetBundle.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/ui/Views.h"
#include "tests/platform/widgetkit/Parcels.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;
using WidgetKit::DynamicIsland;

using parcels::ParcelAttributes;
using parcels::ParcelBundle;
using parcels::parcelConfiguration;
using Context = WidgetKit::ActivityViewContext<ParcelAttributes>;

TEST(DescribePresentations, LockScreenThenIslandWithRegionsKeyedByPosition) {
  const auto shown = parcelConfiguration().presentations(Context{{3, {}, {}}, {}, {}});
  const std::pair<WidgetKit::ActivityPresentations, const char*> rows[] = {
      {{shown.lockScreen.children()[0], shown.dynamicIsland},
       R"({"lockScreen":{"view":"Text","kind":"verbatim","text":"3"},)"
       R"("dynamicIsland":{"expanded":{)"
       R"("leading":{"priority":1,"content":{"view":"Image","systemName":"shippingbox.fill"}},)"
       R"("bottom":{"priority":0,"content":{"view":"EmptyView"}}},)"
       R"("compactLeading":{"view":"Text","kind":"verbatim","text":"3"},)"
       R"("compactTrailing":{"view":"EmptyView"},"minimal":{"view":"Circle"},)"
       R"("widgetURL":"parcels://open/list","keylineTint":{"name":"orange"}}})"},
      // No link and no keyline tint: both null.
      {{EmptyView(), DynamicIsland({}, EmptyView(), EmptyView(), EmptyView())},
       R"({"lockScreen":{"view":"EmptyView"},"dynamicIsland":{"expanded":{},)"
       R"("compactLeading":{"view":"EmptyView"},"compactTrailing":{"view":"EmptyView"},)"
       R"("minimal":{"view":"EmptyView"},"widgetURL":null,"keylineTint":null}})"},
  };
  for (const auto& [presentations, json] : rows) {
    EXPECT_EQ(WidgetKit::describe(presentations, Date(0)), json);
  }
}

TEST(HostedActivity, PresentsADecodedStateWithNowAsTheContextsDate) {
  const auto activity = WidgetKit::WidgetBundle::hostedActivity<ParcelBundle>();
  ASSERT_TRUE(activity.presentContentState);
  auto result = activity.presentContentState(R"({"parcels": 7})", Date(1000));
  ASSERT_TRUE(result.ok());
  const View timer = result->lockScreen.children()[1];
  EXPECT_EQ(std::get<TextNode::Timer>(timer.as<TextNode>()->content).interval,
            (TimerInterval{Date(1000), Date(1090)}));
  EXPECT_EQ(result->dynamicIsland.compactLeading(), Text::verbatim("7"));

  auto failed = activity.presentContentState(R"({"parcels": "seven"})", Date(1000));
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().kind, Foundation::DecodingError::Kind::typeMismatch);
}

}  // namespace
