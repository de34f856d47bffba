#include "platform/ui/drawing/CairoRenderer.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "TestImage.h"
#include "platform/ui/drawing/Symbols.h"

namespace SwiftUI::Drawing {
namespace {

using testing::alphaAt;
using testing::draw;
using testing::isBlank;
using testing::pixelAt;

constexpr double pi = std::numbers::pi;
const Paint opaqueRed = RGBA::bytes(255, 0, 0);

// A ring of radius 15 about (20, 20), 4 wide, trimmed and turned to start at
// the top, as the badge draws its arc.
DrawList turnedArc(double from, double to, LineCap cap) {
  return {PushTransform{AffineTransform::rotation(-pi / 2, {20, 20})},
          StrokeCircle{{20, 20}, 15, from, to, StrokeStyle{4, cap}, opaqueRed}, PopTransform{}};
}

TEST(CairoRenderer, TrimmedArcStartsAtTheTopAndRunsClockwise) {
  auto image = draw(turnedArc(0, 0.25, LineCap::butt), {40, 40});
  ASSERT_TRUE(image);
  EXPECT_EQ(alphaAt(image.get(), 21, 5), 255);      // just after the start, at the top
  EXPECT_EQ(alphaAt(image.get(), 30.6, 9.4), 255);  // half-way, up and to the right
  EXPECT_EQ(alphaAt(image.get(), 35, 19), 255);     // just before the end, at 3 o'clock
  EXPECT_EQ(alphaAt(image.get(), 35, 22), 0);       // past the butt end
  EXPECT_EQ(alphaAt(image.get(), 5, 20), 0);        // 9 o'clock
  EXPECT_EQ(alphaAt(image.get(), 20, 35), 0);       // 6 o'clock
  EXPECT_EQ(alphaAt(image.get(), 17, 5), 0);        // before the start
}

TEST(CairoRenderer, RoundCapsReachPastTheArcsEnds) {
  auto image = draw(turnedArc(0, 0.25, LineCap::round), {40, 40});
  ASSERT_TRUE(image);
  EXPECT_GT(alphaAt(image.get(), 35, 21), 200);
  EXPECT_GT(alphaAt(image.get(), 19, 5), 200);
  EXPECT_EQ(alphaAt(image.get(), 35, 24), 0);  // a cap reaches half the width only
}

// Empty and invalid trims draw nothing; full and overfull ones the whole ring.
TEST(CairoRenderer, TrimsClampToNothingOrTheWholeCircle) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  for (auto [from, to] : {std::pair{0.0, 0.0},
                          {0.5, 0.2},
                          {0.0, -1.0},
                          {0.0, nan},
                          {1.0, 2.0},
                          {0.0, 1.0},
                          {0.0, 1.5},
                          {0.0, inf}}) {
    auto image = draw(turnedArc(from, to, LineCap::round), {40, 40});  // no cap dots
    ASSERT_TRUE(image);
    const bool whole = from == 0 && to >= 1;
    for (Point p : {Point{20, 5}, {35, 20}, {20, 35}, {5, 20}, {9.4, 9.4}})
      EXPECT_EQ(alphaAt(image.get(), p.x, p.y), whole ? 255 : 0)
          << from << "…" << to << " at " << p;
    EXPECT_TRUE(whole || isBlank(image.get())) << from << "…" << to;
  }
}

TEST(CairoRenderer, ProgressBarClampsItsValue) {
  const Rect bar{10, 10, 100, 4};
  auto over = draw({DrawProgressBar{bar, 1.5, opaqueRed, std::nullopt}}, {120, 24});
  auto under = draw({DrawProgressBar{bar, -1, opaqueRed, std::nullopt}}, {120, 24});
  auto part = draw({DrawProgressBar{bar, 0.5, opaqueRed, std::nullopt}}, {120, 24}, 4);
  ASSERT_TRUE(over && under && part);
  EXPECT_EQ(pixelAt(over.get(), 105, 12).r, 255);
  EXPECT_EQ(pixelAt(over.get(), 105, 12).a, 255);
  // Only the faint track: 120,120,128 at 0.36 (premultiplied 43, 43, 46 at 92).
  const auto track = pixelAt(under.get(), 20, 12);
  EXPECT_NEAR(track.a, 92, 1);
  EXPECT_NEAR(track.r, 43, 1);
  EXPECT_EQ(pixelAt(part.get(), 4 * 59, 4 * 12).r, 255);
  EXPECT_NEAR(pixelAt(part.get(), 4 * 61, 4 * 12).a, 92, 1);
  EXPECT_EQ(alphaAt(part.get(), 55, 9.75, 4), 0);  // 4 pt tall: nothing above
  EXPECT_EQ(alphaAt(part.get(), 10, 10, 4), 0);    // round end: the corner stays clear
  EXPECT_EQ(alphaAt(part.get(), 10.3, 11.9, 4), 255);
}

TEST(CairoRenderer, OpacityGroupCompositesAsOneLayer) {
  // Two overlapping opaque squares at 0.5 opacity: the overlap is 0.5, not
  // the 0.75 that two half-transparent squares would give.
  auto image = draw({BeginOpacity{0.5}, FillRoundedRect{{0, 0, 20, 20}, 0, opaqueRed},
                     FillRoundedRect{{10, 0, 20, 20}, 0, opaqueRed}, EndOpacity{}},
                    {30, 20});
  ASSERT_TRUE(image);
  EXPECT_NEAR(alphaAt(image.get(), 5, 5), 128, 1);
  EXPECT_NEAR(alphaAt(image.get(), 15, 5), 128, 1);
}

TEST(CairoRenderer, ClipsAndTransformsAreScoped) {
  auto image = draw({PushClip{{0, 0, 10, 10}, 0}, FillRoundedRect{{0, 0, 40, 40}, 0, opaqueRed},
                     PopClip{}, PushTransform{AffineTransform::translation(20, 20)},
                     FillRoundedRect{{0, 0, 5, 5}, 0, opaqueRed}, PopTransform{},
                     FillRoundedRect{{0, 30, 5, 5}, 0, opaqueRed}},
                    {40, 40});
  ASSERT_TRUE(image);
  EXPECT_EQ(alphaAt(image.get(), 5, 5), 255);
  EXPECT_EQ(alphaAt(image.get(), 15, 15), 0);       // clipped away
  EXPECT_EQ(alphaAt(image.get(), 22, 22), 255);     // moved by the transform
  EXPECT_EQ(alphaAt(image.get(), 2, 2 + 30), 255);  // after the pops: canvas coordinates
  EXPECT_EQ(alphaAt(image.get(), 22, 32), 0);
}

TEST(CairoRenderer, DegenerateInputsLeaveCairoUsable) {
  StrokeStyle zeroDash{2};
  zeroDash.dash = {0, 0};
  const DrawList list{
      PushTransform{AffineTransform::scale(0, 1)},  // hides what it holds
      FillRoundedRect{{0, 0, 40, 40}, 0, opaqueRed},
      PopTransform{},
      PopClip{},  // no clip is open: ignored
      StrokePath{Path{}.move({0, 5}).line({40, 5}), zeroDash, opaqueRed},  // drawn solid
      FillCircle{{20, 20}, std::numeric_limits<double>::quiet_NaN(), opaqueRed},
      StrokeCircle{{20, 20}, -3, 0, 1, StrokeStyle{}, opaqueRed},
      BeginOpacity{1},  // left open: closed at the end
      FillRoundedRect{{0, 30, 10, 10}, 0, opaqueRed},
  };
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 40);
  cairo_t* cr = cairo_create(surface);
  EXPECT_TRUE(CairoRenderer().draw(cr, list));
  cairo_destroy(cr);
  EXPECT_EQ(alphaAt(surface, 20, 20), 0);
  EXPECT_EQ(alphaAt(surface, 20, 5), 255);
  EXPECT_EQ(alphaAt(surface, 30, 5), 255);
  EXPECT_EQ(alphaAt(surface, 5, 35), 255);
  cairo_surface_destroy(surface);
}

TEST(CairoRenderer, SymbolsDrawInsideTheirRect) {
  std::vector<std::string_view> names = knownSymbolNames();
  names.push_back("no.such.symbol");
  for (std::string_view name : names) {
    const Rect rect{10, 10, 20, 20};
    auto image =
        draw({DrawSymbol{std::string(name), rect, FontWeight::regular, opaqueRed}}, {40, 40}, 2);
    ASSERT_TRUE(image);
    int inside = 0, outside = 0;
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 80; ++x) {
        const bool in = x >= 20 && x < 60 && y >= 20 && y < 60;
        (in ? inside : outside) += pixelAt(image.get(), x, y).a > 0;
      }
    }
    EXPECT_GT(inside, 40) << name;
    EXPECT_EQ(outside, 0) << name;
  }
}

TEST(CairoRenderer, FilledSymbolsHaveTheirMarksCutOut) {
  const Rect rect{0, 0, 40, 40};
  auto check =
      draw({DrawSymbol{"checkmark.circle.fill", rect, FontWeight::regular, opaqueRed}}, {40, 40});
  ASSERT_TRUE(check);
  EXPECT_EQ(alphaAt(check.get(), 17.6, 26.8), 0);  // on the check's corner (0.44, 0.67)
  EXPECT_EQ(alphaAt(check.get(), 20, 8), 255);     // on the disc above the check
  auto pause = draw({DrawSymbol{"pause.fill", rect, FontWeight::regular, opaqueRed}}, {40, 40});
  ASSERT_TRUE(pause);
  EXPECT_EQ(alphaAt(pause.get(), 12, 20), 255);  // left bar
  EXPECT_EQ(alphaAt(pause.get(), 20, 20), 0);    // gap
  EXPECT_EQ(alphaAt(pause.get(), 28, 20), 255);  // right bar
}

TEST(CairoRenderer, SymbolStrokesFollowTheWeight) {
  auto ink = [](FontWeight weight) {
    auto image = draw({DrawSymbol{"checkmark", {0, 0, 40, 40}, weight, opaqueRed}}, {40, 40});
    long total = 0;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) total += pixelAt(image.get(), x, y).a;
    }
    return total;
  };
  EXPECT_LT(ink(FontWeight::light), ink(FontWeight::regular));
  EXPECT_LT(ink(FontWeight::regular), ink(FontWeight::bold));
}

TEST(CairoRenderer, TextSitsOnItsBaseline) {
  auto image =
      draw({DrawText{"HHH", FontDescriptor::textStyle(TextStyle::body), opaqueRed, {5, 20}, 0}},
           {60, 30}, 2);
  ASSERT_TRUE(image);
  int above = 0, below = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 120; ++x) {
      if (pixelAt(image.get(), x, y).a > 64) (y < 40 ? above : below)++;
    }
  }
  EXPECT_GT(above, 100);  // capitals stand on the baseline
  EXPECT_EQ(below, 0);    // and have no descenders
  EXPECT_EQ(alphaAt(image.get(), 4, 15, 2), 0);
}

}  // namespace
}  // namespace SwiftUI::Drawing
