// What changes with the text size: text style sizes, and texts that wrap.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Layout.h"
#include "platform/ui/Views.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"

namespace SwiftUI {
namespace {

namespace D = Drawing;
using D::DynamicTypeSize;

std::vector<D::DrawText> texts(const D::DrawList& list) {
  std::vector<D::DrawText> out;
  for (const D::DrawCommand& c : list) {
    if (const auto* t = std::get_if<D::DrawText>(&c)) out.push_back(*t);
  }
  return out;
}

std::vector<std::string> lines(const LayoutNode& text) {
  std::vector<std::string> out;
  for (const TextLine& line : text.text.lines) out.push_back(line.text);
  return out;
}

// Each style's size at a text size, across the table's corners; lines keep
// the style's default leading; a fixed system size stays.
TEST(TextSize, StylesScaleByTheTable) {
  const auto font = [](Font f, DynamicTypeSize size) {
    return fontDescriptor(f, std::nullopt, false, size);
  };
  EXPECT_EQ(font(Font::title3, DynamicTypeSize::xSmall).size, 17);
  EXPECT_EQ(font(Font::headline, DynamicTypeSize::xxLarge).size, 21);
  EXPECT_EQ(font(Font::subheadline, DynamicTypeSize::accessibility5).size, 49);
  EXPECT_EQ(font(Font::caption2, DynamicTypeSize::small).size, 11);
  EXPECT_EQ(font(Font::caption2, DynamicTypeSize::accessibility5).size, 40);
  EXPECT_EQ(font(Font::body, DynamicTypeSize::accessibility5).lineHeight(), 58);
  EXPECT_EQ(font(Font::system(10), DynamicTypeSize::accessibility5).size, 10);
}

TEST(TextSize, TextsAndSymbolsInAStyleGrowWithTheEngine) {
  const D::FixedMetricsTextMeasurer measurer;
  LayoutEngine engine(measurer, DynamicTypeSize::accessibility5);
  EXPECT_EQ(engine.sizeThatFits(Image("clock").font(Font::caption2), {}), (D::Size{40, 40}));
  EXPECT_EQ(engine.sizeThatFits(Image("clock").font(Font::system(9)), {}), (D::Size{9, 9}));
  const View ab = Text::verbatim("ab").font(Font::caption2);
  EXPECT_EQ(engine.sizeThatFits(ab, {}), (D::Size{40, 42}));
  engine.setDynamicTypeSize(DynamicTypeSize::large);
  EXPECT_EQ(engine.sizeThatFits(ab, {}), (D::Size{11, 13}));
}

// A title over a status line in a 200-pt column. At accessibility5 caption
// is 43 pt (21.5 a character with the fixed metrics, so 9 to a line) on
// 47-pt lines, subheadline 49 pt on 54-pt lines.
View column(std::optional<int> statusLimit = std::nullopt) {
  View status = Text::verbatim("Downloading 4 of 9 apps").font(Font::caption);
  if (statusLimit) status = std::move(status).lineLimit(*statusLimit);
  return VStack(HorizontalAlignment::leading, 2,
                {Text::verbatim("Quill, Lumen and Tern").font(Font::subheadline).lineLimit(1),
                 std::move(status)});
}

TEST(TextWrap, LongTextsWrapAndLimitsCutTheLastLine) {
  const D::FixedMetricsTextMeasurer measurer;
  LayoutEngine engine(measurer, DynamicTypeSize::accessibility5);
  const LayoutNode root = engine.layout(column(), {200, std::nullopt});
  const LayoutNode& title = root.children.at(0);
  const LayoutNode& status = root.children.at(1);
  // The word too long for a line breaks inside; the rest break at spaces.
  EXPECT_EQ(lines(status), (std::vector<std::string>{"Downloadi", "ng 4 of 9", "apps"}));
  EXPECT_EQ(lines(title), (std::vector<std::string>{"Quill, \u2026"}));
  EXPECT_EQ(status.frame(), (D::Rect{0, 56, 193.5, 141}));
  EXPECT_EQ(root.frame().height, 54 + 2 + 3 * 47);
  // One DrawText a line, a line height apart.
  const std::vector<D::DrawText> drawn = texts(drawCommands(root));
  ASSERT_EQ(drawn.size(), 4u);
  EXPECT_DOUBLE_EQ(drawn[2].origin.y - drawn[1].origin.y, 47);
  EXPECT_DOUBLE_EQ(drawn[3].origin.y - drawn[2].origin.y, 47);
  // Centred lines sit in the middle of the widest.
  const auto centred = texts(drawCommands(
      engine.layout(column().multilineTextAlignment(TextAlignment::center), {200, std::nullopt})));
  EXPECT_DOUBLE_EQ(centred.at(3).origin.x, (193.5 - 4 * 21.5) / 2);

  // A line limit, or a height with room for two lines, cuts the last.
  const auto statusLines = [&](const View& view, ProposedSize proposal) {
    return lines(engine.layout(view, proposal).children.at(1));
  };
  EXPECT_EQ(statusLines(column(2), {200, std::nullopt}),
            (std::vector<std::string>{"Downloadi", "ng 4 of \u2026"}));
  EXPECT_EQ(statusLines(column(1), {200, std::nullopt}),
            (std::vector<std::string>{"Download\u2026"}));
  EXPECT_EQ(statusLines(column(), {200, 54 + 2 + 2 * 47 + 10}).size(), 2u);
  EXPECT_EQ(engine.sizeThatFits(column(), {200, 54 + 2 + 2 * 47 + 10}).height, 54 + 2 + 2 * 47);

  // What the lines leave out of the status's three: whether the last was
  // cut, and how many wrapped lines fell below it (none when cut to one).
  const struct {
    std::optional<int> limit;
    ProposedSize proposal;
    bool truncated;
    std::size_t hidden;
  } cases[] = {
      {std::nullopt, {200, std::nullopt}, false, 0},
      {2, {200, std::nullopt}, true, 1},
      {1, {200, std::nullopt}, true, 0},
      {std::nullopt, {200, 54 + 2 + 2 * 47 + 10}, true, 1},
  };
  for (const auto& c : cases) {
    const LaidOutText text = engine.layout(column(c.limit), c.proposal).children.at(1).text;
    EXPECT_EQ(text.truncated, c.truncated) << c.limit.value_or(0);
    EXPECT_EQ(text.hiddenLines, c.hidden) << c.limit.value_or(0);
  }
  EXPECT_TRUE(title.text.truncated);
}

TEST(TextWrap, PangoBreaksAtSpacesThenInsideALongWord) {
  const D::PangoTextMeasurer pango;
  const D::FontDescriptor font = D::FontDescriptor::textStyle(D::TextStyle::caption);
  const std::string text = "Downloading Supercalifragilisticexpialidocious apps";
  EXPECT_EQ(pango.lineBreaks(text, font, 1000), (std::vector<std::size_t>{0}));
  const std::vector<std::size_t> breaks = pango.lineBreaks(text, font, 100);
  // The long word takes lines of its own, broken where the width ends.
  ASSERT_EQ(breaks.size(), 4u);
  EXPECT_EQ(D::lineText(text, breaks, 0), "Downloading");
  EXPECT_EQ(std::string(D::lineText(text, breaks, 1)) + std::string(D::lineText(text, breaks, 2)),
            "Supercalifragilisticexpialidocious");
  EXPECT_EQ(D::lineText(text, breaks, 3), "apps");
  for (std::size_t i = 0; i < breaks.size(); ++i) {
    const std::string_view line = D::lineText(text, breaks, i);
    EXPECT_FALSE(line.empty());
    EXPECT_LE(pango.measure(line, font).width, 100) << line;
  }
}

}  // namespace
}  // namespace SwiftUI
