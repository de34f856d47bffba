// The platform's pictures of an activity: where each presentation's views
// and buttons go in its chrome (one placement read by drawing and by taps),
// and the render command's files and errors. Uses a small activity of the
// test's own, so that no system code is involved.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/PlatformHost.h"
#include "platform/host/play/PresentationHitTest.h"
#include "platform/ui/Views.h"
#include "platform/widgetkit/PresentationRenderer.h"
#include "platform/widgetkit/WidgetBundle.h"
#include "tests/platform/drawing/TestImage.h"
#include "tests/platform/host/RunHost.h"
#include "tests/platform/widgetkit/Parcels.h"

namespace Host {
namespace {

using namespace SwiftUI;
namespace D = SwiftUI::Drawing;

struct TapIntent {
  static constexpr std::string_view typeName = "TapIntent";
  static const Foundation::LocalizedStringResource& title() {
    static const Foundation::LocalizedStringResource value("Tap");
    return value;
  }
  AppIntents::IntentResult perform() const { return AppIntents::IntentResult::result(); }
  friend bool operator==(const TapIntent&, const TapIntent&) = default;
};

// Fixed-size views, so that every placement is worked out by hand.
View box(CGFloat width, CGFloat height) {
  return Circle().frame({.width = width, .height = height});
}
View button(CGFloat width, CGFloat height) {
  return Button(TapIntent(), box(width, height)).buttonStyle(PlainButtonStyle());
}

ActivityPresentations presentations(View lockScreen, View center, View leading, View trailing,
                                    View minimal) {
  return {std::move(lockScreen),
          DynamicIsland({{DynamicIslandExpandedRegionPosition::center, 0, std::move(center)},
                         {DynamicIslandExpandedRegionPosition::leading, 0, EmptyView()},
                         {DynamicIslandExpandedRegionPosition::trailing, 0, EmptyView()},
                         {DynamicIslandExpandedRegionPosition::bottom, 0, EmptyView()}},
                        std::move(leading), std::move(trailing), std::move(minimal))};
}

// The centres of the circles a picture draws, in canvas points (following
// its translations).
std::vector<D::Point> circleCentres(const Picture& picture) {
  std::vector<D::Point> found;
  std::vector<D::Point> offsets{{0, 0}};
  for (const D::DrawCommand& c : picture.list) {
    if (const auto* t = std::get_if<D::PushTransform>(&c)) {
      offsets.push_back({offsets.back().x + t->transform.tx, offsets.back().y + t->transform.ty});
    } else if (std::holds_alternative<D::PopTransform>(c)) {
      offsets.pop_back();
    } else if (const auto* f = std::get_if<D::FillCircle>(&c)) {
      found.push_back({offsets.back().x + f->center.x, offsets.back().y + f->center.y});
    }
  }
  return found;
}

void expectPoint(D::Point actual, D::Point expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9) << actual << " vs " << expected;
  EXPECT_NEAR(actual.y, expected.y, 1e-9) << actual << " vs " << expected;
}
void expectRect(const D::Rect& actual, const D::Rect& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9) << actual << " vs " << expected;
  EXPECT_NEAR(actual.y, expected.y, 1e-9) << actual << " vs " << expected;
  EXPECT_NEAR(actual.width, expected.width, 1e-9) << actual << " vs " << expected;
  EXPECT_NEAR(actual.height, expected.height, 1e-9) << actual << " vs " << expected;
}

class PlacementTest : public ::testing::Test {
 protected:
  D::FixedMetricsTextMeasurer measurer;
  PresentationRenderer renderer{measurer};
  ActivityPresentations all = presentations({}, {}, {}, {}, {});
};

// A short, narrow view is centred on the card, at its 84-pt minimum, 14 in
// from the canvas's corner, with the view's background tint over the
// material; its button is where it is drawn.
TEST_F(PlacementTest, LockScreenButtonIsWhereItIsDrawn) {
  all.lockScreen = button(40, 40).applying(ActivityBackgroundTintModifier{Color::blue});
  const PlacedPresentation placed = renderer.place(all, PresentationKind::lockScreen, {});
  const Picture p = PresentationRenderer::picture(placed);
  EXPECT_EQ(p.canvas, (D::Size{371 + 28, 84 + 28}));
  const D::DrawCommand tint = D::FillRoundedRect{{14, 14, 371, 84}, 22, Color::blue};
  EXPECT_NE(std::find(p.list.begin(), p.list.end(), tint), p.list.end()) << D::describe(p.list);
  EXPECT_TRUE(D::isBalanced(p.list));
  const D::Rect expected{14 + (371 - 40) / 2.0, 14 + 22, 40, 40};
  ASSERT_EQ(placed.buttons.size(), 1u);
  expectRect(placed.buttons[0].frame, expected);
  expectPoint(circleCentres(p).at(0), expected.center());
  const TapTarget hit = tapTarget(placed, expected.center());
  EXPECT_EQ(hit.button, &placed.buttons[0]);
  EXPECT_EQ(tapTarget(placed, {20, 20}).button, nullptr);
  EXPECT_TRUE(tapTarget(placed, {20, 20}).onPresentation);
  EXPECT_FALSE(tapTarget(placed, {5, 5}).onPresentation);  // the backdrop
}

// Content taller than 160 points: the lock screen and the expanded island
// stop at 160, the content keeps its height from the top and the shape
// clips it, buttons included; the compact island offers its fixed height,
// so a text that would wrap there is cut to one line instead.
TEST_F(PlacementTest, TallContentIsCutAt160) {
  all.lockScreen = box(100, 300);
  all.dynamicIsland = presentations({}, box(100, 300), {}, {}, {}).dynamicIsland;
  for (PresentationKind kind : {PresentationKind::lockScreen, PresentationKind::expanded}) {
    const PlacedPresentation placed = renderer.place(all, kind, {});
    EXPECT_EQ(placed.chrome.shape.height, 160) << nameOf(kind);
    EXPECT_EQ(placed.chrome.content[0].height, 300) << nameOf(kind);
    const D::DrawCommand clip =
        D::PushClip{placed.chrome.shape, kind == PresentationKind::lockScreen ? 22.0 : 44.0};
    EXPECT_NE(std::find(placed.chrome.background.begin(), placed.chrome.background.end(), clip),
              placed.chrome.background.end())
        << nameOf(kind);
  }
  all.dynamicIsland =
      presentations({}, {}, {}, Text::verbatim("many words in a row"), {}).dynamicIsland;
  const PlacedPresentation compact = renderer.place(all, PresentationKind::compact, {});
  EXPECT_LE(compact.contents[1].nodes[0].frame().height, islandHeight);

  // On the larger screen the card is 408 wide and its buttons follow it.
  all.lockScreen = VStack(HorizontalAlignment::center, 0.0, {button(40, 150), button(40, 50)});
  const PlacedPresentation large = PresentationRenderer(measurer, ScreenSize::large)
                                       .place(all, PresentationKind::lockScreen, {});
  ASSERT_EQ(large.buttons.size(), 2u);
  expectRect(large.buttons[0].frame, {14 + 184, 14, 40, 150});
  expectRect(large.buttons[1].frame, {14 + 184, 14 + 150, 40, 10});
  // The standard screen's narrower card has the button 18.5 further left.
  const D::Point nearRightEdge{14 + 184 + 35, 100};
  EXPECT_NE(tapTarget(large, nearRightEdge).button, nullptr);
  EXPECT_EQ(tapTarget(renderer.place(all, PresentationKind::lockScreen, {}), nearRightEdge).button,
            nullptr);
}

// The expanded island's regions, below the camera's band, between its
// 20-pt insets. Empty side regions leave the centre the whole 331. Else
// leading at its ideal width on the left, trailing on the right, the centre
// between them with 8 on each side, the bottom 8 below the tallest; the
// island is their height plus 52.67.
TEST_F(PlacementTest, ExpandedRegions) {
  const D::Point origin{34, 14 + 36.67};
  all.dynamicIsland = presentations({}, button(100, 50), {}, {}, {}).dynamicIsland;
  PlacedPresentation placed = renderer.place(all, PresentationKind::expanded, {});
  const D::Rect centre{origin.x + 115.5, origin.y, 100, 50};
  expectPoint(circleCentres(PresentationRenderer::picture(placed)).at(0), centre.center());
  ASSERT_EQ(placed.buttons.size(), 1u);
  expectRect(placed.buttons[0].frame, centre);

  all.dynamicIsland =
      DynamicIsland({{DynamicIslandExpandedRegionPosition::leading, 0, box(40, 30)},
                     {DynamicIslandExpandedRegionPosition::trailing, 0, button(60, 20)},
                     {DynamicIslandExpandedRegionPosition::center, 0,
                      Circle().frame({.maxWidth = infinity}).frame({.height = 10})},
                     {DynamicIslandExpandedRegionPosition::bottom, 0, box(331, 12)}},
                    EmptyView(), EmptyView(), EmptyView());
  placed = renderer.place(all, PresentationKind::expanded, {});
  const std::vector<D::Point> c = circleCentres(PresentationRenderer::picture(placed));
  ASSERT_EQ(c.size(), 4u);
  expectPoint(c[0], {origin.x + 20, origin.y + 15});                 // leading 40 × 30
  expectPoint(c[1], {origin.x + 48 + 215.0 / 2, origin.y + 5});      // centre 331 − 48 − 68
  expectPoint(c[2], {origin.x + 331 - 30, origin.y + 10});           // trailing 60 × 20
  expectPoint(c[3], {origin.x + 331.0 / 2, origin.y + 30 + 8 + 6});  // bottom
  EXPECT_NEAR(placed.chrome.canvas.height, 38 + 12 + 52.67 + 28, 1e-9);
  ASSERT_EQ(placed.buttons.size(), 1u);
  expectRect(placed.buttons[0].frame, {origin.x + 271, origin.y, 60, 20});
}

// Compact: the 20-pt ring concentric with the pill's rounded end, 8.335 in
// from the leading edge; the trailing view as far in from the trailing
// edge; both centred vertically in the 36.67-pt pill. A button there, or in
// the minimal island, does not act: a tap on the island opens its link.
TEST_F(PlacementTest, IslandSidesBesideTheCamera) {
  all.dynamicIsland =
      presentations({}, {}, button(20, 20), box(30, 10), button(18, 18)).dynamicIsland;
  const double inset = (36.67 - 20) / 2;
  for (const auto& [screen, width] :
       {std::pair{ScreenSize::standard, 230.0}, std::pair{ScreenSize::large, 250.0}}) {
    PresentationRenderer sized(measurer, screen);
    const PlacedPresentation placed = sized.place(all, PresentationKind::compact, {});
    EXPECT_NEAR(placed.chrome.canvas.width, width + 28, 1e-9);
    const std::vector<D::Point> c = circleCentres(PresentationRenderer::picture(placed));
    ASSERT_EQ(c.size(), 2u);
    expectPoint(c[0], {14 + inset + 10, 14 + 36.67 / 2});
    expectPoint(c[1], {14 + width - inset - 15, 14 + 36.67 / 2});
    EXPECT_TRUE(placed.buttons.empty());
    EXPECT_TRUE(tapTarget(placed, c[0]).onPresentation);
    EXPECT_EQ(tapTarget(placed, c[0]).button, nullptr);
    EXPECT_FALSE(tapTarget(placed, {14 + width + 2, 20}).onPresentation);
  }
  const PlacedPresentation minimal = renderer.place(all, PresentationKind::minimal, {});
  EXPECT_NEAR(minimal.chrome.canvas.width, 36.67 + 28, 1e-9);  // 18 + 16 is below the minimum
  expectPoint(circleCentres(PresentationRenderer::picture(minimal)).at(0),
              {14 + 36.67 / 2, 14 + 36.67 / 2});
  EXPECT_TRUE(minimal.buttons.empty());
}

// PNGs are drawn a band of rows at a time: the result is the picture drawn
// whole, give or take a unit of rounding, across several bands (a 150-pt
// view at 3× is 534 rows).
TEST_F(PlacementTest, PNGInBandsIsThePictureDrawnWhole) {
  all.lockScreen =
      View(Text::verbatim("bands").font(Font::title3).frame({.width = 371, .height = 150}));
  const Picture p = renderer.picture(all, PresentationKind::lockScreen, {});
  std::string banded;
  ASSERT_TRUE(encodePicture(p, PictureFormat::png, 3, banded));
  auto whole = D::renderImage(p.list, p.canvas, D::RenderOptions{3, D::Appearance::dark});
  ASSERT_TRUE(whole);
  std::vector<unsigned char> wholeBytes;
  ASSERT_TRUE(D::encodePNG(whole->get(), wholeBytes));
  const auto a = D::testing::decodePNG(banded);
  const auto b = D::testing::decodePNG(std::string(wholeBytes.begin(), wholeBytes.end()));
  EXPECT_EQ(std::pair(a.width, a.height), std::pair(1197, 534));
  ASSERT_EQ(a.rgba.size(), b.rgba.size());
  int worst = 0;
  for (std::size_t i = 0; i < a.rgba.size(); ++i) {
    worst = std::max(worst, std::abs(a.rgba[i] - b.rgba[i]));
  }
  EXPECT_LE(worst, 1);
}

// --- The render command ---

using parcels::Outcome;
using parcels::ParcelAttributes;

Outcome run(std::vector<std::string> arguments, const std::string& input = R"({"parcels": 3})") {
  using Context = ActivityViewContext<ParcelAttributes>;
  ActivityConfiguration<ParcelAttributes> configuration(
      [](const Context& c) {
        return View(
            Text::verbatim(std::to_string(c.state.parcels) + " parcels on their way to the depot")
                .padding());
      },
      [](const Context&) {
        return DynamicIsland(
            {{DynamicIslandExpandedRegionPosition::center, 0, Text::verbatim("x")}},
            Circle().frame({.width = 20, .height = 20}), Text::verbatim("3"),
            Circle().frame({.width = 18, .height = 18}));
      });
  return parcels::run(PlatformHost(WidgetBundle::hostedActivity(std::move(configuration))),
                      std::move(arguments), input);
}

class RenderCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("render-test-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  std::filesystem::path dir;
};

std::pair<int, int> pngSize(const std::string& bytes) {
  const D::testing::Reference image = D::testing::decodePNG(bytes);
  return {image.width, image.height};
}

std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The lock screen at scale 2: the card 371 × 84 (its minimum) and the
// margins, 399 × 112 points, so 798 × 224 pixels; the minimal island to
// standard output; SVG; all four into a directory.
TEST_F(RenderCommandTest, WritesAPictureOfTheScaledCanvas) {
  const Outcome r =
      run({"render", "-", "--presentation", "lock-screen", "--scale", "2", "-o", path("lock.png")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(pngSize(slurp(path("lock.png"))), (std::pair{798, 224}));
  const Outcome png = run({"render", "--presentation", "minimal", "--scale", "1", "-o", "-"});
  ASSERT_EQ(png.code, 0) << png.err;
  EXPECT_EQ(pngSize(png.out), (std::pair{65, 65}));  // 36.67 + 28, rounded up
  const Outcome svg = run({"render", "--presentation", "compact", "--format", "svg", "-o", "-"});
  ASSERT_EQ(svg.code, 0) << svg.err;
  EXPECT_EQ(svg.out.rfind("<?xml", 0), 0u);
  ASSERT_EQ(run({"render", "--presentation", "all", "--format", "svg", "-o", path("all")}).code, 0);
  for (const char* name : {"lock-screen.svg", "expanded.svg", "compact.svg", "minimal.svg"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "all" / name)) << name;
  }
}

// -o names what the user means: a FIFO is written into, not replaced; so
// is a device.
TEST_F(RenderCommandTest, WritesIntoFIFOsAndDevices) {
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  const int fifo = ::open(path("fifo").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fifo, 0);
  Outcome r{};
  std::thread writer([&] { r = run({"render", "--scale", "1", "-o", path("fifo")}); });
  std::string received;
  char buffer[4096];
  for (pollfd ready{fifo, POLLIN, 0}; ::poll(&ready, 1, 10000) > 0;) {
    const ssize_t n = ::read(fifo, buffer, sizeof buffer);
    if (n <= 0) break;  // the writer is done
    received.append(buffer, static_cast<std::size_t>(n));
  }
  writer.join();
  ::close(fifo);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo"));
  EXPECT_EQ(pngSize(received), (std::pair{399, 112}));
  EXPECT_EQ(run({"render", "-o", "/dev/null"}).code, 0);
}

// The variant options reach the picture: the light lock screen's card is
// lighter, the backdrop is not; the text grows the card (wrapping); the
// larger screen's card is 408 wide.
TEST_F(RenderCommandTest, VariantsReachThePicture) {
  const auto picture = [&](std::vector<std::string> options) {
    options.insert(options.begin(), {"render", "--scale", "1", "-o", "-"});
    const Outcome r = run(options);
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
  };
  const auto lightness = [](const std::string& png, int x, int y) {
    const D::testing::Reference image = D::testing::decodePNG(png);
    const unsigned char* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return p[0] + p[1] + p[2];
  };
  const std::string dark = picture({});
  const std::string light = picture({"--appearance", "light"});
  EXPECT_GT(lightness(light, 20, 60), lightness(dark, 20, 60) + 200);  // the card
  EXPECT_EQ(lightness(light, 5, 5), lightness(dark, 5, 5));            // the backdrop
  // Two lines of 28 and the padding.
  EXPECT_EQ(pngSize(picture({"--text-size", "xxxLarge"})), (std::pair{371 + 28, 2 * 28 + 32 + 28}));
  EXPECT_EQ(pngSize(picture({"--screen", "430x932"})), (std::pair{408 + 28, 84 + 28}));
}

// Bad input: one line, the exit code for its kind, nothing written.
TEST_F(RenderCommandTest, ErrorsFollowTheHostsPolicy) {
  const auto expectFailure = [](const Outcome& r, int code, const std::string& start) {
    EXPECT_EQ(r.code, code) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("error: " + start, 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  };
  const std::string x = path("x.png");
  expectFailure(run({"render", "--presentation", "banner", "-o", x}), 64, "");
  expectFailure(run({"render", "--format", "jpeg", "-o", x}), 64, "");
  for (const char* scale : {"0", "-1", "11", "nan", "2x", "1e-300", "0.09"}) {
    expectFailure(run({"render", "--scale", scale, "-o", x}), 64, "");
  }
  for (auto [option, value] : {std::pair{"--appearance", "sepia"},
                               {"--text-size", "Large"},
                               {"--text-size", "accessibility6"},
                               {"--screen", "390x844"}}) {
    expectFailure(run({"render", option, value, "-o", x}), 64,
                  std::string(option) + ": needs one of");
  }
  expectFailure(run({"render"}), 64, "");  // no -o
  expectFailure(run({"render", "--presentation", "all", "-o", "-"}), 64,
                "--presentation all writes a directory");
  expectFailure(run({"render", "-o", x}, R"({"parcels": "three"})"), 65, "typeMismatch");
  expectFailure(run({"render", path("missing.json"), "-o", x}), 66, "cannot read");
  expectFailure(run({"render", "-o", path("no/such/dir/x.png")}), 74, "");
  expectFailure(run({"render", "-o", dir.string()}), 74, "");
  EXPECT_FALSE(std::filesystem::exists(x));
  std::ofstream(path("taken")) << "x";  // a file where the directory for all should go
  expectFailure(run({"render", "--presentation", "all", "-o", path("taken")}), 74,
                "cannot create the directory");
}

}  // namespace
}  // namespace Host
