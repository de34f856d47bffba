#include "platform/ui/drawing/CairoRenderer.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "TestImage.h"
#include "platform/ui/drawing/Symbols.h"

namespace SwiftUI::Drawing {
namespace {

using testing::alphaAt;
using testing::covered;
using testing::draw;
using testing::pixelAt;

constexpr double pi = std::numbers::pi;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
const Paint opaqueRed = RGBA::bytes(255, 0, 0);

// A ring of radius 15 about (20, 20), 4 wide, trimmed and turned to start at
// the top, as the badge draws its arc.
DrawList turnedArc(double from, double to, LineCap cap) {
  return {PushTransform{AffineTransform::rotation(-pi / 2, {20, 20})},
          StrokeCircle{{20, 20}, 15, from, to, StrokeStyle{4, cap}, opaqueRed}, PopTransform{}};
}

// A quarter from the top to 3 o'clock; round caps reach half the width past
// either end, butt ones stop there.
TEST(CairoRenderer, TrimmedArcRunsClockwiseFromTheTopWithItsCaps) {
  auto butt = draw(turnedArc(0, 0.25, LineCap::butt), {40, 40});
  auto round = draw(turnedArc(0, 0.25, LineCap::round), {40, 40});
  ASSERT_TRUE(butt && round);
  EXPECT_EQ(alphaAt(butt.get(), 21, 5), 255);                  // just after the start, at the top
  EXPECT_EQ(alphaAt(butt.get(), 30.6, 9.4), 255);              // half-way, up and to the right
  EXPECT_EQ(alphaAt(butt.get(), 35, 19), 255);                 // just before the end, at 3 o'clock
  for (Point p : {Point{35, 21}, {19, 5}, {5, 20}, {20, 35}})  // past the ends, 9 and 6 o'clock
    EXPECT_EQ(alphaAt(butt.get(), p.x, p.y), 0) << p;
  EXPECT_GT(alphaAt(round.get(), 35, 21), 200);
  EXPECT_GT(alphaAt(round.get(), 19, 5), 200);
  EXPECT_EQ(alphaAt(round.get(), 35, 24), 0);    // a cap reaches half the width only
  EXPECT_LT(alphaAt(round.get(), 36, 21), 200);  // and is round, not square
}

// Empty and invalid trims draw nothing (not even cap dots); full and overfull
// ones the whole ring.
TEST(CairoRenderer, TrimsClampToNothingOrTheWholeCircle) {
  for (auto [from, to] : {std::pair{0.0, 0.0}, {0.5, 0.2}, {0.0, nan}, {0.0, 1.0}, {0.0, inf}}) {
    auto image = draw(turnedArc(from, to, LineCap::round), {40, 40});
    ASSERT_TRUE(image);
    const bool whole = from == 0 && to >= 1;
    for (Point p : {Point{20, 5}, {35, 20}, {20, 35}, {5, 20}, {9.4, 9.4}})
      EXPECT_EQ(alphaAt(image.get(), p.x, p.y), whole ? 255 : 0)
          << from << "…" << to << " at " << p;
    EXPECT_TRUE(whole || covered(image.get()) == 0) << from << "…" << to;
  }
}

TEST(CairoRenderer, ProgressBarTintIsClippedToTheTrack) {
  const Rect bar{10, 10, 100, 4};
  auto half = draw({DrawProgressBar{bar, 0.5, opaqueRed, std::nullopt}}, {120, 24}, 4);
  auto sliver = draw({DrawProgressBar{bar, 0.01, opaqueRed, std::nullopt}}, {120, 24}, 4);
  ASSERT_TRUE(half && sliver);
  // Past the tint, the faint track: 120,120,128 at 0.36 (premultiplied).
  const testing::Pixel track{43, 43, 46, 92};
  EXPECT_EQ(pixelAt(half.get(), 4 * 59, 4 * 12).r, 255);
  EXPECT_EQ(pixelAt(half.get(), 4 * 61, 4 * 12), track);
  EXPECT_EQ(alphaAt(half.get(), 55, 9.75, 4), 0);  // 4 pt tall: nothing above
  EXPECT_EQ(alphaAt(half.get(), 10, 10, 4), 0);    // round end: the corner stays clear
  EXPECT_EQ(alphaAt(half.get(), 10.3, 11.9, 4), 255);
  EXPECT_EQ(alphaAt(sliver.get(), 10.3, 10.3, 4), 0);  // a sliver too, inside the round end
}

// A clip and a transform end at their pops; an opacity group composites as
// one layer (the overlap of two opaque squares at 0.5 is 0.5, not 0.75).
TEST(CairoRenderer, ScopesApplyUntilTheyEnd) {
  auto image = draw({PushClip{{0, 0, 10, 10}, 0}, FillRoundedRect{{0, 0, 40, 40}, 0, opaqueRed},
                     PopClip{}, PushTransform{AffineTransform::translation(20, 20)},
                     FillRoundedRect{{0, 0, 5, 5}, 0, opaqueRed}, PopTransform{},
                     FillRoundedRect{{0, 30, 5, 5}, 0, opaqueRed}, BeginOpacity{0.5},
                     FillRoundedRect{{30, 0, 10, 10}, 0, opaqueRed},
                     FillRoundedRect{{35, 0, 5, 10}, 0, opaqueRed}, EndOpacity{}},
                    {40, 40});
  ASSERT_TRUE(image);
  EXPECT_EQ(alphaAt(image.get(), 5, 5), 255);
  EXPECT_EQ(alphaAt(image.get(), 15, 15), 0);       // clipped away
  EXPECT_EQ(alphaAt(image.get(), 22, 22), 255);     // moved by the transform
  EXPECT_EQ(alphaAt(image.get(), 2, 2 + 30), 255);  // after the pops: canvas coordinates
  EXPECT_EQ(alphaAt(image.get(), 22, 32), 0);
  EXPECT_NEAR(alphaAt(image.get(), 32, 5), 128, 1);
  EXPECT_NEAR(alphaAt(image.get(), 37, 5), 128, 1);
}

// A scale to nothing hides what it holds, a stray pop is ignored, a dash of
// zeros strokes solid, a NaN or negative radius draws nothing, an open group
// is closed at the end: drawing succeeds (Cairo left in no error state) and
// draws the rest.
TEST(CairoRenderer, DegenerateInputsLeaveCairoUsable) {
  StrokeStyle zeroDash{2};
  zeroDash.dash = {0, 0};
  auto image = draw({PushTransform{AffineTransform::scale(0, 1)},
                     FillRoundedRect{{0, 0, 40, 40}, 0, opaqueRed}, PopTransform{}, PopClip{},
                     StrokePath{Path{}.move({0, 5}).line({40, 5}), zeroDash, opaqueRed},
                     FillCircle{{20, 20}, nan, opaqueRed},
                     StrokeCircle{{20, 20}, -3, 0, 1, StrokeStyle{}, opaqueRed}, BeginOpacity{1},
                     FillRoundedRect{{0, 30, 10, 10}, 0, opaqueRed}},
                    {40, 40});
  ASSERT_TRUE(image);
  EXPECT_EQ(alphaAt(image.get(), 20, 20), 0);
  EXPECT_EQ(alphaAt(image.get(), 20, 5), 255);
  EXPECT_EQ(alphaAt(image.get(), 30, 5), 255);
  EXPECT_EQ(alphaAt(image.get(), 5, 35), 255);
}

// Every symbol, and the box for an unknown name, stays inside its rect;
// strokes thicken with the weight.
TEST(CairoRenderer, SymbolsDrawInsideTheirRectAtTheirWeight) {
  std::vector<std::string_view> names = knownSymbolNames();
  names.push_back("no.such.symbol");
  for (std::string_view name : names) {
    auto image =
        draw({DrawSymbol{std::string(name), {10, 10, 20, 20}, FontWeight::regular, opaqueRed}},
             {40, 40}, 2);
    ASSERT_TRUE(image);
    const int inside = covered(image.get(), 1, 20, 20, 60, 60);
    EXPECT_GT(inside, 40) << name;
    EXPECT_EQ(covered(image.get()), inside) << name;
  }
  auto ink = [](FontWeight weight) {  // pixels at least half covered
    return covered(
        draw({DrawSymbol{"checkmark", {0, 0, 40, 40}, weight, opaqueRed}}, {40, 40}).get(), 128);
  };
  EXPECT_LT(ink(FontWeight::light), ink(FontWeight::regular));
  EXPECT_LT(ink(FontWeight::regular), ink(FontWeight::bold));
}

TEST(CairoRenderer, TextSitsOnItsBaseline) {
  auto image =
      draw({DrawText{"HHH", FontDescriptor::textStyle(TextStyle::body), opaqueRed, {5, 20}, 0}},
           {60, 30}, 2);
  ASSERT_TRUE(image);
  EXPECT_GT(covered(image.get(), 65, 0, 0, 120, 40), 100);  // capitals stand on the baseline
  EXPECT_EQ(covered(image.get(), 65, 0, 40), 0);            // and have no descenders
  EXPECT_EQ(alphaAt(image.get(), 4, 15, 2), 0);
}

}  // namespace
}  // namespace SwiftUI::Drawing
