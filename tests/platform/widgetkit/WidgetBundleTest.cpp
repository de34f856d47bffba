// The widget layer with a small activity of the test's own: the island
// value, the describe format of an activity's presentations, and how
// WidgetBundle hands a configuration to the platform host.
#include "platform/widgetkit/WidgetBundle.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/foundation/Clock.h"
#include "platform/ui/Views.h"
#include "platform/widgetkit/GalleryVariant.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;
using WidgetKit::ActivityConfiguration;
using WidgetKit::DynamicIsland;
using WidgetKit::DynamicIslandExpandedRegion;
using WidgetKit::DynamicIslandExpandedRegionPosition;

namespace shipping {
struct ParcelAttributes {
  struct ContentState {
    std::int64_t parcels = 0;
    static ContentState decode(Foundation::Decoder& decoder) {
      return {decoder.container().decode<std::int64_t>("parcels")};
    }
    void encode(Foundation::Encoder& encoder) const {
      encoder.container().encode("parcels", parcels);
    }
  };
  Date sentAt;
  static ParcelAttributes decode(Foundation::Decoder& decoder) {
    return {decoder.container().decode<Date>("sentAt")};
  }
  void encode(Foundation::Encoder& encoder) const { encoder.container().encode("sentAt", sentAt); }
};
}  // namespace shipping

using Context = WidgetKit::ActivityViewContext<shipping::ParcelAttributes>;

// The lock screen shows the count and a timer started at "now"; the island
// shows the count compactly.
ActivityConfiguration<shipping::ParcelAttributes> parcelConfiguration() {
  return {
      [](const Context& context) {
        const Date now = Foundation::currentDate();
        return View(VStack({Text::verbatim(std::to_string(context.state.parcels)),
                            Text(TimerInterval{now, now.addingTimeInterval(90)}, std::nullopt, true,
                                 true)}))
            .applying(WidgetKit::activityBackgroundTint(Color::black.opacity(0.3)))
            .applying(WidgetKit::activitySystemActionForegroundColor(Color::white));
      },
      [](const Context& context) {
        return DynamicIsland(
                   {{DynamicIslandExpandedRegionPosition::leading, 1, Image("shippingbox.fill")},
                    {DynamicIslandExpandedRegionPosition::bottom, 0, EmptyView()}},
                   Text::verbatim(std::to_string(context.state.parcels)), EmptyView(), Circle())
            .widgetURL("parcels://open/list")
            .keylineTint(Color::orange);
      }};
}

constexpr WidgetKit::ActivityPreviewState parcelPreviews[] = {
    {"two", "Two parcels & a <timer>.", R"({"parcels": 2})"},
    {"none", "None.", R"({"parcels": 0})"},
};

struct ParcelWidget {
  ActivityConfiguration<shipping::ParcelAttributes> body() const { return parcelConfiguration(); }
  static WidgetKit::ActivityPreviews previews() {
    return {"Parcel gallery", Date(100), parcelPreviews};
  }
};
struct ParcelBundle {
  std::tuple<ParcelWidget> body() const {
    return WidgetKit::WidgetBundleBuilder::buildBlock(ParcelWidget());
  }
};
static_assert(WidgetKit::Widget<ParcelWidget>);
static_assert(WidgetKit::WidgetBundleType<ParcelBundle>);
static_assert(!WidgetKit::WidgetBundleType<ParcelWidget>);

TEST(DescribePresentations, WritesLockScreenThenIslandWithRegionsKeyedByPosition) {
  const auto presentations = parcelConfiguration().presentations(Context{{3}, {}});
  EXPECT_EQ(
      WidgetKit::describe(WidgetKit::ActivityPresentations{presentations.lockScreen.children()[0],
                                                           presentations.dynamicIsland},
                          Date(0)),
      R"({"lockScreen":{"view":"Text","kind":"verbatim","text":"3"},)"
      R"("dynamicIsland":{"expanded":{)"
      R"("leading":{"priority":1,"content":{"view":"Image","systemName":"shippingbox.fill"}},)"
      R"("bottom":{"priority":0,"content":{"view":"EmptyView"}}},)"
      R"("compactLeading":{"view":"Text","kind":"verbatim","text":"3"},)"
      R"("compactTrailing":{"view":"EmptyView"},"minimal":{"view":"Circle"},)"
      R"("widgetURL":"parcels://open/list","keylineTint":{"name":"orange"}}})");
}

TEST(DescribePresentations, UnsetLinkAndKeylineAreNull) {
  const DynamicIsland island({}, EmptyView(), EmptyView(), EmptyView());
  EXPECT_EQ(WidgetKit::describe(WidgetKit::ActivityPresentations{EmptyView(), island}, Date(0)),
            R"({"lockScreen":{"view":"EmptyView"},"dynamicIsland":{"expanded":{},)"
            R"("compactLeading":{"view":"EmptyView"},"compactTrailing":{"view":"EmptyView"},)"
            R"("minimal":{"view":"EmptyView"},"widgetURL":null,"keylineTint":null}})");
}

TEST(HostedActivity, PresentsADecodedStateWithNowPinnedOnlyWhileBuilding) {
  const auto activity = WidgetKit::WidgetBundle::hostedActivity<ParcelBundle>();
  ASSERT_TRUE(activity.presentContentState);
  const Date outside(5);
  Foundation::PinnedCurrentDate pin(outside);
  auto result = activity.presentContentState(R"({"parcels": 7})", Date(1000));
  ASSERT_TRUE(result.ok());
  const View timer = result->lockScreen.children()[1];
  EXPECT_EQ(std::get<TextNode::Timer>(timer.as<TextNode>()->content).interval,
            (TimerInterval{Date(1000), Date(1090)}));
  EXPECT_EQ(result->dynamicIsland.compactLeading(), Text::verbatim("7"));
  EXPECT_EQ(Foundation::currentDate(), outside);

  auto failed = activity.presentContentState(R"({"parcels": "seven"})", Date(1000));
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().kind, Foundation::DecodingError::Kind::typeMismatch);
}

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome run(const WidgetKit::PlatformHost& host, std::vector<std::string> arguments,
            const std::string& input) {
  arguments.insert(arguments.begin(), "extension");
  std::istringstream in(input);
  std::ostringstream out, err;
  int code = host.run(arguments, in, out, err);
  return {code, out.str(), err.str()};
}

TEST(DescribeCommand, ReadsTheTimerAtTheGivenNow) {
  const Outcome r = run(WidgetKit::WidgetBundle::host<ParcelBundle>(), {"describe", "--now", "100"},
                        R"({"parcels": 2})");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find(R"("text":"1:30","timer":{"from":100,"to":190,)"), std::string::npos);
}

TEST(DescribeCommand, IsOnlyOfferedWithAConfiguration) {
  const WidgetKit::PlatformHost validateOnly(
      WidgetKit::HostedActivity::make<shipping::ParcelAttributes>("Parcel"));
  for (const char* command : {"describe", "gallery"}) {
    const Outcome r = run(validateOnly, {command, "-o", "x"}, R"({"parcels": 2})");
    EXPECT_EQ(r.code, 64) << command;
    EXPECT_EQ(r.out, "");
  }
}

// The gallery draws the states the widget offers, four pictures each, on a
// page under the widget's title with each caption and state, escaped.
TEST(GalleryCommand, DrawsThePreviewStatesTheWidgetOffers) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("gallery-test-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  const Outcome r = run(WidgetKit::WidgetBundle::host<ParcelBundle>(),
                        {"gallery", "-o", dir.string(), "--scale", "1"}, "");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, (dir / "index.html").string() + "\n");
  std::ifstream in(dir / "index.html");
  const std::string page((std::istreambuf_iterator<char>(in)), {});
  // Every variant's pictures are on the page, one switch each.
  for (const char* id : {"two", "none"}) {
    for (WidgetKit::PresentationKind kind : WidgetKit::allPresentationKinds) {
      for (const WidgetKit::GalleryVariant& variant : WidgetKit::galleryVariants) {
        const std::string name = WidgetKit::galleryFileName(id, kind, variant);
        EXPECT_TRUE(std::filesystem::is_regular_file(dir / name)) << name;
        EXPECT_NE(page.find("src=\"" + name + "\""), std::string::npos) << name;
      }
    }
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "two-lock-screen.png"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "two-lock-screen@accessibility5.png"));
  std::size_t switches = 0;
  for (auto at = page.find("<input type=\"radio\""); at != std::string::npos;
       at = page.find("<input type=\"radio\"", at + 1)) {
    ++switches;
  }
  EXPECT_EQ(switches, WidgetKit::galleryVariants.size());
  EXPECT_NE(page.find("<title>Parcel gallery</title>"), std::string::npos);
  EXPECT_NE(page.find("Two parcels &amp; a &lt;timer&gt;."), std::string::npos);
  EXPECT_NE(page.find(R"({&quot;parcels&quot;: 2})"), std::string::npos);
  EXPECT_NE(page.find("2001-01-01 00:01:40 UTC"), std::string::npos);  // the previews' moment

  // A variant named on the command line is the only one drawn, plainly named.
  std::filesystem::remove_all(dir);
  const Outcome one =
      run(WidgetKit::WidgetBundle::host<ParcelBundle>(),
          {"gallery", "-o", dir.string(), "--scale", "1", "--appearance", "light"}, "");
  ASSERT_EQ(one.code, 0) << one.err;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2 * 4 + 1);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "two-lock-screen.png"));
  std::filesystem::remove_all(dir);
}

}  // namespace
