// The widget layer with a small activity of the test's own: the island
// value, the describe format of an activity's presentations, and how
// WidgetBundle hands a configuration to the platform host.
#include "platform/widgetkit/WidgetBundle.h"

#include <cairo.h>
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
#include "platform/ui/drawing/ImageCompare.h"
#include "platform/widgetkit/GalleryVariant.h"
#include "tests/platform/widgetkit/Parcels.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;
using WidgetKit::ActivityConfiguration;
using WidgetKit::DynamicIsland;
using WidgetKit::DynamicIslandExpandedRegion;
using WidgetKit::DynamicIslandExpandedRegionPosition;

namespace shipping = parcels;

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
  const auto presentations = parcelConfiguration().presentations(Context{{3, {}, {}}, {}});
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

using parcels::Outcome;
using parcels::run;

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

// A fresh record matches; a reference with a changed block of pixels, one
// the gallery no longer draws and a picture with no reference each fail the
// check, with a line each and a difference image for the changed one.
TEST(GalleryCommand, CheckFindsChangedMissingAndNewPictures) {
  namespace fs = std::filesystem;
  const auto dir = fs::temp_directory_path() / ("gallery-check-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  const auto host = WidgetKit::WidgetBundle::host<ParcelBundle>();
  const std::string refs = (dir / "refs").string(), out = (dir / "out").string();
  ASSERT_EQ(run(host, {"gallery", "-o", refs, "--scale", "1"}, "").code, 0);
  const std::vector<std::string> check = {"gallery", "-o", out, "--scale", "1", "--check", refs};
  Outcome r = run(host, check, "");
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("40 pictures: 40 match, 0 changed, 0 missing, 0 new"), std::string::npos);

  {
    const std::string path = refs + "/two-lock-screen.png";
    auto read = SwiftUI::Drawing::readPNG(path);
    ASSERT_TRUE(read);
    cairo_surface_t* image = read->get();
    cairo_t* cr = cairo_create(image);
    cairo_set_source_rgb(cr, 1, 0, 1);
    cairo_rectangle(cr, 2, 2, 4, 3);
    cairo_fill(cr);
    cairo_destroy(cr);
    std::vector<unsigned char> png;
    ASSERT_TRUE(SwiftUI::Drawing::encodePNG(image, png));
    ASSERT_TRUE(SwiftUI::Drawing::writeFile(path, png.data(), png.size()));
  }
  fs::rename(refs + "/none-minimal.png", refs + "/gone-minimal.png");
  r = run(host, check, "");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out,
            out +
                "/index.html\n"
                "missing gone-minimal.png: a reference that was not drawn\n"
                "new none-minimal.png: drawn, with no reference\n"
                "changed two-lock-screen.png: 12 pixels differ, see diff/two-lock-screen.png\n"
                "41 pictures: 38 match, 1 changed, 1 missing, 1 new; see " +
                out + "/check.html\n");
  EXPECT_TRUE(SwiftUI::Drawing::readPNG(out + "/diff/two-lock-screen.png"));
  std::ifstream in(out + "/check.html");
  const std::string page((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(page.find(R"(<img src="../refs/two-lock-screen.png")"), std::string::npos);

  r = run(host, {"gallery", "-o", out, "--check", (dir / "nowhere").string()}, "");
  EXPECT_EQ(r.code, 66);
  EXPECT_NE(r.err.find("cannot read the reference folder"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
