// Layout with fixed text metrics: every character advances half the font
// size, so each expected frame below is worked out by hand from the sizes
// the platform documents (stack spacing and spacer minimum 8, padding 16,
// a 4-pt progress bar, the text styles' sizes and line heights).

#include "platform/ui/Layout.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <numbers>
#include <string>

#include "platform/ui/Views.h"

namespace SwiftUI {
namespace {

using Drawing::Rect;

const LayoutNode& child(const LayoutNode& node, std::initializer_list<std::size_t> path) {
  const LayoutNode* n = &node;
  for (std::size_t i : path) n = &n->children.at(i);
  return *n;
}

void expectRect(const Rect& actual, const Rect& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9) << actual << " vs " << expected;
  EXPECT_NEAR(actual.y, expected.y, 1e-9) << actual << " vs " << expected;
  EXPECT_NEAR(actual.width, expected.width, 1e-9) << actual << " vs " << expected;
  EXPECT_NEAR(actual.height, expected.height, 1e-9) << actual << " vs " << expected;
}

// A fixed square, as a badge or an icon takes its place in a row.
View square(CGFloat size) {
  return Circle().frame({.width = size, .height = size});
}

// A padded card: a header row (a square, a two-line column, a spacer and a
// large trailing text) over a bar and a footer row of spaced texts.
View card(std::string title, bool showsTimer) {
  return VStack(
             HorizontalAlignment::center, 10,
             {
                 HStack(VerticalAlignment::center, 10.0,
                        {
                            square(28),
                            VStack(HorizontalAlignment::leading, 2.0,
                                   {
                                       Text::verbatim(std::move(title))
                                           .font(Font::subheadline)
                                           .fontWeight(Font::Weight::bold)
                                           .lineLimit(1)
                                           .truncationMode(TruncationMode::tail),
                                       Text::verbatim("Second line (2/5)").font(Font::caption),
                                   }),
                            Spacer(),
                            Text::verbatim("42%").font(Font::title3).fontWeight(Font::Weight::bold),
                        }),
                 VStack(HorizontalAlignment::center, 4.0,
                        {
                            ProgressView(0.42, 1.0),
                            HStack(VerticalAlignment::center, std::nullopt,
                                   {
                                       Text::verbatim("6 MB/s").font(Font::caption2),
                                       Spacer(),
                                       If(showsTimer,
                                          [] {
                                            return HStack(VerticalAlignment::center, 3.0,
                                                          {Image("clock"), Text::verbatim("5:30")})
                                                .font(Font::caption2);
                                          }),
                                       Spacer(),
                                       Text::verbatim("1.4 GB / 3.33 GB").font(Font::caption2),
                                   }),
                        }),
             })
      .padding(16);
}

class LayoutTest : public ::testing::Test {
 protected:
  LayoutNode layout(const View& view, ProposedSize proposal) {
    return engine.layout(view, proposal);
  }
  Drawing::FixedMetricsTextMeasurer measurer;
  LayoutEngine engine{measurer};
};

// Header row, 339 wide inside the padding: spacing 3 × 10 and the spacer's
// minimum 8 set aside leave 301 for the others, least flexible first:
// square 28, "42%" (3 × 10 = 30), text column (title "Lantern, Tallies",
// 16 × 7.5 = 120). The spacer takes the other 131, which puts the
// percentage's trailing edge on the padding, at 355.
TEST_F(LayoutTest, HeaderRowSpacerPushesPercentageToTrailingEdge) {
  const LayoutNode root = layout(card("Lantern, Tallies", true), {371, std::nullopt});
  const LayoutNode& header = child(root, {0});
  expectRect(header.frame(), {16, 16, 339, 38});
  expectRect(child(header, {0}).frame(), {16, 21, 28, 28});      // square, centred in 38
  expectRect(child(header, {1}).frame(), {54, 16, 120, 38});     // title 20 + 2 + status 16
  expectRect(child(header, {1, 0}).frame(), {54, 16, 120, 20});  // title, leading
  expectRect(child(header, {1, 1}).frame(), {54, 38, 102, 16});  // 17 × 6
  expectRect(child(header, {2}).frame(), {184, 35, 131, 0});     // spacer
  expectRect(child(header, {3}).frame(), {325, 22.5, 30, 25});   // "42%"
}

// Footer row, default spacing 8 between its five children: the bounded ones
// (timer group 11 + 3 + 22 = 36, speed 33, bytes 16 × 5.5 = 88) take what
// they need and the two spacers share the rest, 150, equally.
TEST_F(LayoutTest, FooterSpacersShareTheRestEqually) {
  const LayoutNode root = layout(card("Lantern, Tallies", true), {371, std::nullopt});
  const LayoutNode& block = child(root, {1});
  expectRect(block.frame(), {16, 64, 339, 21});
  expectRect(child(block, {0}).frame(), {16, 64, 339, 4});  // the bar across the width
  const LayoutNode& footer = child(block, {1});
  expectRect(footer.frame(), {16, 72, 339, 13});
  expectRect(child(footer, {0}).frame(), {16, 72, 33, 13});
  expectRect(child(footer, {1}).frame(), {57, 78.5, 75, 0});
  expectRect(child(footer, {2}).frame(), {140, 72, 36, 13});
  expectRect(child(footer, {2, 0}).frame(), {140, 73, 11, 11});  // clock, caption2's 11 pt
  expectRect(child(footer, {2, 1}).frame(), {154, 72, 22, 13});  // "5:30"
  expectRect(child(footer, {3}).frame(), {184, 78.5, 75, 0});
  expectRect(child(footer, {4}).frame(), {267, 72, 88, 13});
  // 16 + 38 + 10 + 4 + 4 + 13 + 16.
  EXPECT_DOUBLE_EQ(root.frame().height, 101);

  // Without the timer the two spacers sit side by side, still 8 apart, and
  // still share equally: (339 − 3 × 8 − 33 − 88) / 2 = 97.
  const LayoutNode withoutTimer = layout(card("Lantern, Tallies", false), {371, std::nullopt});
  const LayoutNode& bare = child(withoutTimer, {1, 1});
  ASSERT_EQ(bare.children.size(), 4u);
  EXPECT_DOUBLE_EQ(child(bare, {1}).frame().width, 97);
  EXPECT_DOUBLE_EQ(child(bare, {2}).frame().width, 97);
  expectRect(child(bare, {3}).frame(), {267, 72, 88, 13});
}

// A title longer than its column: the column gets what the square, the
// "42%", the spacings and the spacer's minimum leave, 339 − 28 − 30 −
// 30 − 8 = 243; 7.5 a character, so 31 characters and "…" (32 × 7.5 = 240)
// fit. The spacer keeps its minimum and the percentage its place. A line
// where not even "…" fits shows nothing and keeps its height.
TEST_F(LayoutTest, LongTitleIsTruncatedAtTheTail) {
  const std::string title = "Meridian Designer 2 Professional Vector Suite";  // 45 characters
  const LayoutNode root = layout(card(title, true), {371, std::nullopt});
  const LayoutNode& titleNode = child(root, {0, 1, 0});
  ASSERT_EQ(titleNode.text.lines.size(), 1u);
  EXPECT_EQ(titleNode.text.lines.at(0).text, "Meridian Designer 2 Professiona\u2026");
  expectRect(titleNode.frame(), {54, 16, 240, 20});
  EXPECT_DOUBLE_EQ(child(root, {0, 2}).frame().width, 11);  // 8 + the 3 that 240 leaves of 243
  EXPECT_DOUBLE_EQ(child(root, {0, 3}).frame().maxX(), 355);

  const LayoutNode none =
      layout(Text::verbatim("Hub").font(Font::subheadline).lineLimit(1), {5, std::nullopt});
  EXPECT_EQ(none.text.lines.at(0).text, "");
  expectRect(none.frame(), {0, 0, 0, 20});
}

// A centred column padded 8 on the sides; in its middle row a square (24)
// and a text ("6 MB/s", caption 6 × 6 = 36) take what they
// need and the bar, with its infinite maximum width, fills the other
// 315 − 16 − 24 − 36 = 239.
TEST_F(LayoutTest, IslandBarFillsTheFreeWidth) {
  const View center =
      VStack(HorizontalAlignment::center, 6.0,
             {
                 Text::verbatim("Quill").font(Font::subheadline).fontWeight(Font::Weight::medium),
                 HStack(VerticalAlignment::center, 8.0,
                        {
                            square(24),
                            ProgressView(0.42, 1.0)
                                .frame({.maxWidth = infinity, .alignment = Alignment::center})
                                .scaleEffect(1.0, 1.5, UnitPoint::center),
                            Text::verbatim("6 MB/s").font(Font::caption).monospacedDigit(),
                        }),
                 Text::verbatim("Downloading 42% \u2022 2/5").font(Font::caption),
             })
          .padding(Edge::Set::horizontal, 8);
  const LayoutNode root = layout(center, {331, std::nullopt});
  expectRect(root.frame(), {0, 0, 331, 20 + 6 + 24 + 6 + 16});
  expectRect(root.contentFrame(), {8, 0, 315, 72});
  expectRect(child(root, {0}).frame(), {146.75, 0, 37.5, 20});  // centred title
  const LayoutNode& row = child(root, {1});
  expectRect(row.frame(), {8, 26, 315, 24});
  expectRect(child(row, {0}).frame(), {8, 26, 24, 24});
  expectRect(child(row, {1}).frame(), {40, 36, 239, 4});
  expectRect(child(row, {2}).frame(), {287, 30, 36, 16});
  expectRect(child(root, {2}).frame(), {102.5, 56, 126, 16});  // 21 characters × 6, centred
}

TEST_F(LayoutTest, PaddingInsetsTheGivenEdges) {
  const View text = Text::verbatim("ab");  // body 17: 17 × 22
  expectRect(layout(text.padding(), {}).contentFrame(), {16, 16, 17, 22});
  EXPECT_EQ(engine.sizeThatFits(text.padding(), {}), (Drawing::Size{49, 54}));
  const LayoutNode sides = layout(text.padding(Edge::Set::horizontal, 8), {});
  expectRect(sides.frame(), {0, 0, 33, 22});
  expectRect(sides.contentFrame(), {8, 0, 17, 22});
  const LayoutNode top = layout(text.padding(Edge::Set::top, 5).padding(Edge::Set::leading, 3), {});
  expectRect(top.frame(), {0, 0, 20, 27});
  expectRect(top.layers[1], {3, 0, 17, 27});
  expectRect(top.contentFrame(), {3, 5, 17, 22});
  // Padding shrinks what the text is offered: 40 − 2 × 8 leaves 24, where
  // two characters of 7.5 and "…" fit (22.5).
  const LayoutNode squeezed = layout(
      Text::verbatim("abcdef").font(Font::subheadline).lineLimit(1).padding(8), {40, std::nullopt});
  EXPECT_EQ(squeezed.text.lines.at(0).text, "ab\u2026");
  expectRect(squeezed.frame(), {0, 0, 38.5, 36});
}

TEST_F(LayoutTest, FramesFixAndFlex) {
  const View text = Text::verbatim("ab").font(Font::caption);  // 12 × 16
  // A fixed frame centres its child by default and aligns it as told.
  const LayoutNode fixed = layout(text.frame({.width = 40, .height = 20}), {});
  expectRect(fixed.frame(), {0, 0, 40, 20});
  expectRect(fixed.contentFrame(), {14, 2, 12, 16});
  const LayoutNode leading =
      layout(text.frame({.width = 40, .height = 20, .alignment = Alignment::bottomLeading}), {});
  expectRect(leading.contentFrame(), {0, 4, 12, 16});
  // A frame given only a width keeps the child's height.
  expectRect(layout(text.frame({.width = 40}), {}).frame(), {0, 0, 40, 16});
  // maxWidth infinity takes the whole width offered, and only the child's
  // ideal width when none is offered.
  const View fill = text.frame({.maxWidth = infinity});
  expectRect(layout(fill, {200, std::nullopt}).frame(), {0, 0, 200, 16});
  expectRect(layout(fill, {}).frame(), {0, 0, 12, 16});
  // minWidth holds when less is offered; maxWidth caps what is offered.
  expectRect(layout(text.frame({.minWidth = 50}), {30, std::nullopt}).frame(), {0, 0, 50, 16});
  expectRect(layout(text.frame({.minWidth = 50}), {80, std::nullopt}).frame(), {0, 0, 50, 16});
  const LayoutNode capped = layout(text.frame({.maxWidth = 60}), {80, std::nullopt});
  expectRect(capped.frame(), {0, 0, 60, 16});
  expectRect(capped.contentFrame(), {24, 0, 12, 16});
}

TEST_F(LayoutTest, StacksSpacingAndEmptyChildren) {
  const View a = Text::verbatim("a").font(Font::caption);  // 6 × 16
  // No spacing given: 8 between each pair; EmptyView takes neither room nor
  // spacing.
  const LayoutNode v = layout(VStack({a, EmptyView(), a, a}), {});
  expectRect(v.frame(), {0, 0, 6, 16 * 3 + 8 * 2});
  expectRect(child(v, {2}).frame(), {0, 24, 6, 16});
  expectRect(child(v, {3}).frame(), {0, 48, 6, 16});
  // Alignment across the axis.
  const View wide = Text::verbatim("abcd").font(Font::caption);  // 24 wide
  const LayoutNode trailing = layout(VStack(HorizontalAlignment::trailing, 0.0, {a, wide}), {});
  expectRect(child(trailing, {0}).frame(), {18, 0, 6, 16});
  const LayoutNode bottom = layout(
      HStack(VerticalAlignment::bottom, 0.0, {a, Text::verbatim("b").font(Font::title3)}), {});
  expectRect(child(bottom, {0}).frame(), {0, 9, 6, 16});
  // A stack offered no width gives its spacer the minimum only.
  const LayoutNode ideal = layout(HStack({a, Spacer(), a}), {});
  expectRect(child(ideal, {1}).frame(), {14, 8, 8, 0});
  expectRect(ideal.frame(), {0, 0, 6 + 8 + 8 + 8 + 6, 16});
  // An explicit minimum length.
  EXPECT_DOUBLE_EQ(
      engine.sizeThatFits(HStack(VerticalAlignment::center, 0.0, {a, Spacer(0), a}), {}).width, 12);
}

// Two texts that do not both fit share the width equally, shorter first:
// the shorter one keeps what it needs of its half.
TEST_F(LayoutTest, CompetingTextsShareFairly) {
  const View shortText = Text::verbatim("abcd").font(Font::caption);                          // 24
  const View longText = Text::verbatim("abcdefghijklmnop").font(Font::caption).lineLimit(1);  // 96
  const LayoutNode row =
      layout(HStack(VerticalAlignment::center, 0.0, {longText, shortText}), {100, std::nullopt});
  EXPECT_DOUBLE_EQ(child(row, {1}).frame().width, 24);
  EXPECT_DOUBLE_EQ(child(row, {0}).frame().width, 72);  // 11 characters and "…"
  EXPECT_EQ(child(row, {0}).text.lines.at(0).text, "abcdefghijk\u2026");
}

// A 20-pt ring and a transparent space that still takes its width (body 17: 8.5) and draws nothing.
TEST_F(LayoutTest, InvisibleSpaceTakesItsWidth) {
  const View leading =
      HStack(VerticalAlignment::center, 0.0,
             {
                 ZStack({Circle().stroke(Color::blue, 2).frame({.width = 20, .height = 20})}),
                 Text(LocalizedStringKey(" ")).opacity(0),
             });
  const LayoutNode root = layout(leading, {});
  expectRect(root.frame(), {0, 0, 28.5, 22});
  expectRect(child(root, {1}).frame(), {20, 0, 8.5, 22});
  const Drawing::DrawList list = drawCommands(root);  // the ring alone
  ASSERT_EQ(list.size(), 1u) << Drawing::describe(list);
  EXPECT_TRUE(std::holds_alternative<Drawing::StrokeCircle>(list[0]));
  // Half opacity wraps the text in a layer instead.
  const Drawing::DrawList half = drawCommands(layout(Text::verbatim("x").opacity(0.5), {}));
  ASSERT_EQ(half.size(), 3u);
  EXPECT_EQ(half[0], Drawing::DrawCommand(Drawing::BeginOpacity{0.5}));
  EXPECT_TRUE(std::holds_alternative<Drawing::DrawText>(half[1]));
  EXPECT_EQ(half[2], Drawing::DrawCommand(Drawing::EndOpacity{}));
}

// Timer texts show their reading at the layout's "now".
TEST_F(LayoutTest, TimerReadsAtNow) {
  const View timer =
      Text(TimerInterval{Foundation::Date(1000), Foundation::Date(4723)}, std::nullopt, true, true)
          .font(Font::caption2);
  EXPECT_EQ(engine.layout(timer, {}, {}, Foundation::Date(1000)).text.lines.at(0).text, "1:02:03");
  EXPECT_EQ(engine.layout(timer, {}, {}, Foundation::Date(4718)).text.lines.at(0).text, "0:05");
}

}  // namespace
}  // namespace SwiftUI
