#include "platform/ui/drawing/DrawCommand.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "platform/ui/drawing/ResolvedColor.h"

namespace SwiftUI::Drawing {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// Angles run from 3 o'clock, clockwise on screen (y down); fractions clamp
// to 0…1 and an empty range draws nothing.
TEST(TrimmedCircleArc, ClampsFractionsAndDrawsNothingForEmptyRanges) {
  EXPECT_EQ(trimmedCircleArc(0.25, 0.75), (ArcAngles{pi / 2, pi}));
  EXPECT_EQ(trimmedCircleArc(0, 1.5), (ArcAngles{0, 2 * pi}));
  EXPECT_EQ(trimmedCircleArc(-0.5, 0.5), (ArcAngles{0, pi}));
  EXPECT_EQ(trimmedCircleArc(0, std::numeric_limits<double>::infinity()), (ArcAngles{0, 2 * pi}));
  EXPECT_FALSE(trimmedCircleArc(0, 0));
  EXPECT_FALSE(trimmedCircleArc(0, -0.3));
  EXPECT_FALSE(trimmedCircleArc(0.6, 0.4));
  EXPECT_FALSE(trimmedCircleArc(1.2, 1.5));  // both clamp to 1
  EXPECT_FALSE(trimmedCircleArc(0, nan));    // NaN counts as 0
  EXPECT_EQ(trimmedCircleArc(nan, 0.5), (ArcAngles{0, pi}));
}

// The tint covers the value clamped to 0…1, and is absent at 0.
TEST(ProgressBarGeometry, TintCoversTheClampedValue) {
  const Rect bar{10, 20, 200, 4};
  EXPECT_EQ(progressBarGeometry(bar, 0.25).fill, (Rect{10, 20, 50, 4}));
  EXPECT_EQ(progressBarGeometry(bar, 1.5).fill, bar);
  for (double value : {-1.0, 0.0, nan}) EXPECT_FALSE(progressBarGeometry(bar, value).fill);
}

// (Turns about an anchor are checked by drawing the badge's arc.)
TEST(AffineTransform, ScaleKeepsItsAnchorAndComposes) {
  const Point anchor{10, 20};
  const AffineTransform stretch = AffineTransform::scale(1, 1.5, anchor);
  EXPECT_EQ(stretch.apply(anchor), anchor);
  EXPECT_EQ(stretch.apply({12, 22}), (Point{12, 23}));
  const AffineTransform both = AffineTransform::translation(5, 0).after(stretch);
  EXPECT_EQ(both.apply({12, 22}), (Point{17, 23}));
}

TEST(ResolvedColor, AppearancesAndOpacity) {
  EXPECT_EQ(resolve(Color::blue, Appearance::dark), RGBA::bytes(10, 132, 255));
  EXPECT_EQ(resolve(Color::blue, Appearance::light), RGBA::bytes(0, 122, 255));

  // An explicit opacity multiplies the colour's own alpha.
  EXPECT_DOUBLE_EQ(resolve(Color::secondary.opacity(0.5), Appearance::dark).alpha, 0.3);
  EXPECT_DOUBLE_EQ(resolve(Color::black.opacity(2), Appearance::dark).alpha, 1);
  EXPECT_DOUBLE_EQ(resolve(Color::black.opacity(nan), Appearance::dark).alpha, 0);
}

TEST(DrawCommand, BalancedScopes) {
  EXPECT_TRUE(isBalanced(
      {PushClip{}, BeginOpacity{0.5}, PushTransform{}, PopTransform{}, EndOpacity{}, PopClip{}}));
  EXPECT_FALSE(isBalanced({PushClip{}}));
  EXPECT_FALSE(isBalanced({PopTransform{}}));
  EXPECT_FALSE(isBalanced({PushClip{}, BeginOpacity{}, PopClip{}, EndOpacity{}}));
}

}  // namespace
}  // namespace SwiftUI::Drawing
