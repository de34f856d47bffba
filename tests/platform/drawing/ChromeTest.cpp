#include "platform/ui/drawing/Chrome.h"

#include <gtest/gtest.h>

namespace SwiftUI::Drawing {
namespace {

void expectRect(const Rect& actual, const Rect& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9) << actual;
  EXPECT_NEAR(actual.y, expected.y, 1e-9) << actual;
  EXPECT_NEAR(actual.width, expected.width, 1e-9) << actual;
  EXPECT_NEAR(actual.height, expected.height, 1e-9) << actual;
}

TEST(Chrome, LockScreenCardKeepsItsHeightRange) {
  const Paint tint = Color::black.opacity(0.3);
  const Chrome fits = lockScreenChrome(120, tint);
  expectRect(fits.shape, {14, 14, 371, 120});
  expectRect(fits.content, {14, 14, 371, 120});
  EXPECT_EQ(fits.canvas, (Size{399, 148}));

  const Chrome shortContent = lockScreenChrome(40, tint);
  expectRect(shortContent.shape, {14, 14, 371, 84});
  expectRect(shortContent.content, {14, 36, 371, 40});  // centred: (84 − 40) / 2 below the top

  const Chrome tall = lockScreenChrome(200, tint, ScreenSize::large);
  expectRect(tall.shape, {14, 14, 408, 160});
  expectRect(tall.content, {14, 14, 408, 200});  // cut at the card's bottom by the clip
  EXPECT_EQ(lockScreenContentWidth(ScreenSize::large), 408);

  // The tint lies over the card, and everything after is clipped to it.
  EXPECT_EQ(fits.background[2], (DrawCommand{FillRoundedRect{fits.shape, 22, tint}}));
  EXPECT_EQ(fits.background.back(), (DrawCommand{PushClip{fits.shape, 22}}));
  EXPECT_EQ(lockScreenChrome(120, std::nullopt).background.size(), fits.background.size() - 1);
}

TEST(Chrome, ExpandedIslandPlacesContentBelowTheCamera) {
  const Chrome c = expandedIslandChrome(91, Color::blue);
  // 91 + 36.67 above + 16 below.
  expectRect(c.shape, {14, 14, 371, 143.67});
  expectRect(c.content, {34, 50.67, 331, 91});
  EXPECT_EQ(expandedContentWidth(), 331);
  // The keyline's 1-pt line lies just inside the island's edge.
  const auto* keyline = std::get_if<StrokeRoundedRect>(&c.foreground.back());
  ASSERT_TRUE(keyline);
  expectRect(keyline->rect, {14.5, 14.5, 370, 142.67});
  EXPECT_EQ(keyline->cornerRadius, 43.5);
  EXPECT_EQ(keyline->style, StrokeStyle{1});
  EXPECT_EQ(keyline->paint, Paint{Color::blue});

  const Chrome small = expandedIslandChrome(20, std::nullopt);
  expectRect(small.shape, {14, 14, 371, 84});
  // 84 − 52.67 leaves 31.33 for 20 of content: 5.665 above it.
  expectRect(small.content, {34, 14 + 36.67 + 5.665, 331, 20});
  EXPECT_EQ(small.foreground, (DrawList{PopClip{}}));
}

TEST(Chrome, CompactIslandSplitsAroundTheCamera) {
  const CompactChrome c = compactIslandChrome();
  expectRect(c.shape, {14, 14, 230, 36.67});
  expectRect(c.leading, {14, 14, 52.33, 36.67});
  expectRect(c.trailing, {191.67, 14, 52.33, 36.67});
  const CompactChrome large = compactIslandChrome(ScreenSize::large);
  expectRect(large.leading, {14, 14, 62.33, 36.67});
  expectRect(large.trailing, {201.67, 14, 62.33, 36.67});
}

TEST(Chrome, MinimalIslandGrowsFromCircleToPill) {
  const Chrome ring = minimalIslandChrome({18, 18});
  expectRect(ring.shape, {14, 14, 36.67, 36.67});
  expectRect(ring.content, {14 + 9.335, 14 + 9.335, 18, 18});
  EXPECT_DOUBLE_EQ(minimalIslandChrome({25, 18}).shape.width, 41);
  EXPECT_DOUBLE_EQ(minimalIslandChrome({40, 18}).shape.width, 45);
}

TEST(Chrome, ComposeMovesContentIntoItsRect) {
  const Chrome c = expandedIslandChrome(91, Color::blue);
  const DrawList content{FillCircle{{12, 12}, 12, Color::blue}};
  const DrawList all = c.compose(content);
  ASSERT_EQ(all.size(), c.background.size() + 3 + c.foreground.size());
  const auto* move = std::get_if<PushTransform>(&all[c.background.size()]);
  ASSERT_TRUE(move);
  EXPECT_EQ(move->transform.a, 1);
  EXPECT_EQ(move->transform.d, 1);
  EXPECT_EQ(move->transform.tx, 34);
  EXPECT_NEAR(move->transform.ty, 50.67, 1e-9);
  EXPECT_EQ(all[c.background.size() + 1], content[0]);
  EXPECT_TRUE(isBalanced(all));

  const CompactChrome compact = compactIslandChrome();
  EXPECT_TRUE(isBalanced(compact.compose(content, content)));
}

}  // namespace
}  // namespace SwiftUI::Drawing
