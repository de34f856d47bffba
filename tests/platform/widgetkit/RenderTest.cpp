// The platform's pictures of an activity: where each presentation's views
// go in its chrome, and the render command's files and errors. Uses a small
// activity of the test's own, so that no system code is involved.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/Views.h"
#include "platform/ui/drawing/Chrome.h"
#include "platform/widgetkit/PlatformHost.h"
#include "platform/widgetkit/PresentationRenderer.h"
#include "platform/widgetkit/WidgetBundle.h"

namespace WidgetKit {
namespace {

using namespace SwiftUI;
namespace D = SwiftUI::Drawing;

// Fixed-size views, so that every placement is worked out by hand.
View box(CGFloat width, CGFloat height) {
  return Circle().frame({.width = width, .height = height});
}

ActivityPresentations presentations(View lockScreen, View center, View leading, View trailing,
                                    View minimal) {
  return {std::move(lockScreen),
          DynamicIsland({{DynamicIslandExpandedRegionPosition::center, 0, std::move(center)},
                         {DynamicIslandExpandedRegionPosition::leading, 0, EmptyView()},
                         {DynamicIslandExpandedRegionPosition::trailing, 0, EmptyView()},
                         {DynamicIslandExpandedRegionPosition::bottom, 0, EmptyView()}},
                        std::move(leading), std::move(trailing), std::move(minimal))
              .keylineTint(Color::orange)};
}

// Where the content's coordinates start: the first translation after the
// chrome's clip.
D::Point contentOrigin(const D::DrawList& list) {
  bool clipped = false;
  for (const D::DrawCommand& c : list) {
    if (std::holds_alternative<D::PushClip>(c)) clipped = true;
    if (const auto* t = std::get_if<D::PushTransform>(&c); t && clipped) {
      return {t->transform.tx, t->transform.ty};
    }
  }
  return {-1, -1};
}

void expectPoint(D::Point actual, D::Point expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9) << actual << " vs " << expected;
  EXPECT_NEAR(actual.y, expected.y, 1e-9) << actual << " vs " << expected;
}

std::vector<D::FillCircle> circles(const D::DrawList& list) {
  std::vector<D::FillCircle> found;
  for (const D::DrawCommand& c : list) {
    if (const auto* f = std::get_if<D::FillCircle>(&c)) found.push_back(*f);
  }
  return found;
}

class PresentationRendererTest : public ::testing::Test {
 protected:
  D::FixedMetricsTextMeasurer measurer;
  PresentationRenderer renderer{measurer};
  ActivityPresentations all = presentations(
      box(371, 100).applying(ActivityBackgroundTintModifier{Color::black.opacity(0.3)}),
      box(100, 50), box(20, 20), box(30, 10), box(18, 18));
};

// The card takes the view's height and its background tint over the
// material; the view starts at the card's corner, 14 in from the canvas's.
TEST_F(PresentationRendererTest, LockScreenCardAroundTheView) {
  const Picture p = renderer.picture(all, PresentationKind::lockScreen, {});
  EXPECT_EQ(p.canvas, (D::Size{371 + 28, 100 + 28}));
  const D::DrawCommand tint = D::FillRoundedRect{{14, 14, 371, 100}, 22, Color::black.opacity(0.3)};
  EXPECT_NE(std::find(p.list.begin(), p.list.end(), tint), p.list.end()) << D::describe(p.list);
  expectPoint(contentOrigin(p.list), {14, 14});
  expectPoint(circles(p.list).at(0).center, {185.5, 50});
  EXPECT_TRUE(D::isBalanced(p.list));
}

// A short view is centred on the card at its 84-pt minimum.
TEST_F(PresentationRendererTest, ShortLockScreenViewIsCentred) {
  all.lockScreen = box(371, 40);
  const Picture p = renderer.picture(all, PresentationKind::lockScreen, {});
  EXPECT_EQ(p.canvas.height, 84 + 28);
  expectPoint(contentOrigin(p.list), {14, 14 + 22});
}

// Empty side regions leave the centre the whole 331 between the island's
// 20-pt insets; the 100-wide view is centred in it, below the camera's
// band; the island is the content's 50 plus 52.67 tall, its keyline orange.
TEST_F(PresentationRendererTest, ExpandedCentreRegionPlacement) {
  const Picture p = renderer.picture(all, PresentationKind::expanded, {});
  EXPECT_NEAR(p.canvas.height, 50 + 36.67 + 16 + 28, 1e-9);
  expectPoint(contentOrigin(p.list), {34, 14 + 36.67});
  expectPoint(circles(p.list).at(0).center, {115.5 + 50, 25});
  ASSERT_TRUE(std::holds_alternative<D::StrokeRoundedRect>(p.list.back()));
  EXPECT_EQ(std::get<D::StrokeRoundedRect>(p.list.back()).paint, D::Paint(Color::orange));
}

// Side regions: leading at its ideal width on the left, trailing on the
// right, the centre between them with 8 on each side.
TEST_F(PresentationRendererTest, ExpandedSideRegions) {
  ActivityPresentations sides{
      all.lockScreen,
      DynamicIsland({{DynamicIslandExpandedRegionPosition::leading, 0, box(40, 30)},
                     {DynamicIslandExpandedRegionPosition::trailing, 0, box(60, 20)},
                     {DynamicIslandExpandedRegionPosition::center, 0,
                      Circle().frame({.maxWidth = infinity}).frame({.height = 10})},
                     {DynamicIslandExpandedRegionPosition::bottom, 0, box(331, 12)}},
                    EmptyView(), EmptyView(), EmptyView())};
  const Picture p = renderer.picture(sides, PresentationKind::expanded, {});
  const std::vector<D::FillCircle> c = circles(p.list);
  ASSERT_EQ(c.size(), 4u) << D::describe(p.list);
  expectPoint(c[0].center, {20, 15});                 // leading 40 × 30
  expectPoint(c[1].center, {48 + 215.0 / 2, 5});      // centre 331 − 48 − 68 = 215
  expectPoint(c[2].center, {331 - 30, 10});           // trailing 60 × 20
  expectPoint(c[3].center, {331.0 / 2, 30 + 8 + 6});  // bottom, 8 below the tallest
  EXPECT_NEAR(p.canvas.height, 38 + 12 + 52.67 + 28, 1e-9);
}

// Compact: the 20-pt ring concentric with the pill's rounded end, 8.335 in
// from the leading edge; the trailing view as far in from the trailing
// edge; both centred vertically in the 36.67-pt pill.
TEST_F(PresentationRendererTest, CompactSidesBesideTheCamera) {
  const Picture p = renderer.picture(all, PresentationKind::compact, {});
  EXPECT_NEAR(p.canvas.width, 230 + 28, 1e-9);
  const std::vector<D::FillCircle> c = circles(p.list);
  ASSERT_EQ(c.size(), 2u);
  const double inset = (36.67 - 20) / 2;
  EXPECT_NEAR(c[0].center.x, inset + 10, 1e-9);
  EXPECT_NEAR(c[0].center.y, 36.67 / 2, 1e-9);
  EXPECT_NEAR(c[1].center.x, 52.33 - inset - 15, 1e-9);
  EXPECT_NEAR(c[1].center.y, 36.67 / 2, 1e-9);
  EXPECT_TRUE(D::isBalanced(p.list));
}

TEST_F(PresentationRendererTest, MinimalIslandAroundTheRing) {
  const Picture p = renderer.picture(all, PresentationKind::minimal, {});
  EXPECT_NEAR(p.canvas.width, 36.67 + 28, 1e-9);  // 18 + 16 is below the minimum
  const std::vector<D::FillCircle> c = circles(p.list);
  ASSERT_EQ(c.size(), 1u);
  expectPoint(c[0].center, {9, 9});
  expectPoint(contentOrigin(p.list), {14 + (36.67 - 18) / 2, 14 + (36.67 - 18) / 2});
}

std::vector<unsigned char> decodePNG(const void* data, std::size_t size, int* width, int* height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<unsigned char> rgba;
  if (!png_image_begin_read_from_memory(&image, data, size)) return rgba;
  image.format = PNG_FORMAT_RGBA;
  rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) rgba.clear();
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  return rgba;
}

// PNGs are drawn a band of rows at a time: the result is the picture drawn
// whole, give or take a unit of rounding, across several bands (a 150-pt
// view at 3× is 534 rows).
TEST_F(PresentationRendererTest, PNGInBandsIsThePictureDrawnWhole) {
  all.lockScreen =
      View(Text::verbatim("bands").font(Font::title3).frame({.width = 371, .height = 150}));
  const Picture p = renderer.picture(all, PresentationKind::lockScreen, {});
  std::string banded;
  ASSERT_EQ(encodePicture(p, PictureFormat::png, 3, banded), std::nullopt);
  auto whole = D::renderImage(p.list, p.canvas, D::RenderOptions{3, D::Appearance::dark});
  ASSERT_TRUE(whole);
  std::vector<unsigned char> wholeBytes;
  ASSERT_EQ(D::encodePNG(whole.get(), wholeBytes), std::nullopt);
  int bw = 0, bh = 0, ww = 0, wh = 0;
  const auto a = decodePNG(banded.data(), banded.size(), &bw, &bh);
  const auto b = decodePNG(wholeBytes.data(), wholeBytes.size(), &ww, &wh);
  EXPECT_EQ(bw, 1197);
  EXPECT_EQ(bh, 534);
  EXPECT_EQ(std::pair(bw, bh), std::pair(ww, wh));
  ASSERT_EQ(a.size(), b.size());
  ASSERT_FALSE(a.empty());
  int worst = 0;
  for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
  EXPECT_LE(worst, 1);
}

TEST(PresentationKindNames, RoundTrip) {
  for (PresentationKind kind : allPresentationKinds)
    EXPECT_EQ(presentationKind(nameOf(kind)), kind);
  EXPECT_EQ(presentationKind("all"), std::nullopt);
  EXPECT_EQ(nameOf(PresentationKind::lockScreen), "lock-screen");
}

// --- The render command ---

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
  static ParcelAttributes decode(Foundation::Decoder&) { return {}; }
  void encode(Foundation::Encoder& encoder) const { encoder.container(); }
};

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome run(std::vector<std::string> arguments, const std::string& input = R"({"parcels": 3})") {
  using Context = ActivityViewContext<ParcelAttributes>;
  ActivityConfiguration<ParcelAttributes> configuration(
      [](const Context& c) {
        return View(Text::verbatim(std::to_string(c.state.parcels) + " parcels").padding());
      },
      [](const Context&) {
        return DynamicIsland(
            {{DynamicIslandExpandedRegionPosition::center, 0, Text::verbatim("x")}},
            Circle().frame({.width = 20, .height = 20}), Text::verbatim("3"),
            Circle().frame({.width = 18, .height = 18}));
      });
  arguments.insert(arguments.begin(), "extension");
  std::istringstream in(input);
  std::ostringstream out, err;
  const int code = PlatformHost(WidgetBundle::hostedActivity(std::move(configuration)))
                       .run(arguments, in, out, err);
  return {code, out.str(), err.str()};
}

class RenderCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("render-test-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  std::filesystem::path dir;
};

// PNG dimensions straight from the file's header (big-endian at 16 and 20).
std::pair<int, int> pngSize(const std::string& bytes) {
  const auto at = [&](std::size_t i) {
    return static_cast<int>(static_cast<unsigned char>(bytes[i])) << 24 |
           static_cast<int>(static_cast<unsigned char>(bytes[i + 1])) << 16 |
           static_cast<int>(static_cast<unsigned char>(bytes[i + 2])) << 8 |
           static_cast<int>(static_cast<unsigned char>(bytes[i + 3]));
  };
  return {at(16), at(20)};
}

std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The lock screen at scale 2: the card 371 × 84 (its minimum) and the
// margins, 399 × 112 points, so 798 × 224 pixels.
TEST_F(RenderCommandTest, WritesAPictureOfTheScaledCanvas) {
  const Outcome r =
      run({"render", "-", "--presentation", "lock-screen", "--scale", "2", "-o", path("lock.png")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string png = slurp(path("lock.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(pngSize(png), (std::pair{798, 224}));
}

TEST_F(RenderCommandTest, StandardOutputAndSVG) {
  const Outcome png = run({"render", "--presentation", "minimal", "--scale", "1", "-o", "-"});
  ASSERT_EQ(png.code, 0) << png.err;
  EXPECT_EQ(pngSize(png.out), (std::pair{65, 65}));  // 36.67 + 28, rounded up
  const Outcome svg = run({"render", "--presentation", "compact", "--format", "svg", "-o", "-"});
  ASSERT_EQ(svg.code, 0) << svg.err;
  EXPECT_EQ(svg.out.rfind("<?xml", 0), 0u);
}

TEST_F(RenderCommandTest, AllWritesFourFilesIntoADirectory) {
  const Outcome r = run({"render", "--presentation", "all", "--format", "svg", "-o", path("all")});
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* name : {"lock-screen.svg", "expanded.svg", "compact.svg", "minimal.svg"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "all" / name)) << name;
  }
}

TEST_F(RenderCommandTest, ErrorsFollowTheHostsPolicy) {
  const auto expectFailure = [](const Outcome& r, int code, const std::string& start) {
    EXPECT_EQ(r.code, code) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("error: " + start, 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  };
  expectFailure(run({"render", "--presentation", "banner", "-o", path("x.png")}), 64, "");
  expectFailure(run({"render", "--format", "jpeg", "-o", path("x.png")}), 64, "");
  for (const char* scale : {"0", "-1", "11", "nan", "2x"}) {
    expectFailure(run({"render", "--scale", scale, "-o", path("x.png")}), 64, "");
  }
  expectFailure(run({"render"}), 64, "");  // no -o
  expectFailure(run({"render", "--presentation", "all", "-o", "-"}), 64,
                "--presentation all writes a directory");
  expectFailure(run({"render", "-o", path("x.png")}, R"({"parcels": "three"})"), 65,
                "typeMismatch");
  expectFailure(run({"render", path("missing.json"), "-o", path("x.png")}), 66, "cannot read");
  expectFailure(run({"render", "-o", path("no/such/dir/x.png")}), 74, "");
  EXPECT_FALSE(std::filesystem::exists(path("x.png")));
  // An existing file where the directory for all should go.
  std::ofstream(path("taken")) << "x";
  expectFailure(run({"render", "--presentation", "all", "-o", path("taken")}), 74,
                "cannot create the directory");
}

}  // namespace
}  // namespace WidgetKit
