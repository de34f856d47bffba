#include "platform/ui/drawing/TextMeasurer.h"

#include <gtest/gtest.h>

#include "platform/ui/drawing/PangoTextMeasurer.h"

namespace SwiftUI::Drawing {
namespace {

const std::string kshi = "\u0915\u094D\u0937\u093F";                      // क्षि
const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";  // 👨‍👩‍👧
const std::string flags = "\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA";     // 🇫🇷🇩🇪
const std::string ellipsis = "\u2026";

// Half an em a character, whatever its bytes; a tail cut keeps whole
// characters.
TEST(FixedMetricsTextMeasurer, MeasuresAndTruncatesByCharacter) {
  const FixedMetricsTextMeasurer m;
  const FontDescriptor caption2 = FontDescriptor::textStyle(TextStyle::caption2);
  // 9 characters × 0.5 × 11 pt.
  EXPECT_EQ(m.measure("Downloads", caption2), (TextMetrics{49.5, 8.8, 2.2, 13}));
  // Line box 13 high, glyphs 11 high: baseline at 1 + 8.8.
  EXPECT_DOUBLE_EQ(m.measure("x", caption2).baselineFromTop(), 9.8);
  // A text style keeps its own leading; a fixed size gets 1.2 times.
  EXPECT_DOUBLE_EQ(m.measure("x", FontDescriptor::system(12.6)).lineHeight, 12.6 * 1.2);

  EXPECT_EQ(m.truncateTail("Downloads", caption2, 49.5), "Downloads");  // fits exactly
  EXPECT_EQ(m.truncateTail("Downloads", caption2, 30), "Down" + ellipsis);
  EXPECT_EQ(m.truncateTail("Downloads", caption2, 10), ellipsis);
  EXPECT_EQ(m.truncateTail("Downloads", caption2, 5), "");
  // The conjunct, the joined family and each flag are one character each and stay whole.
  EXPECT_EQ(m.truncateTail("a" + kshi + "bc", caption2, 16.5), "a" + kshi + ellipsis);
  EXPECT_EQ(m.truncateTail("a" + family + "bc", caption2, 16.5), "a" + family + ellipsis);
  EXPECT_EQ(m.truncateTail("a" + family + "bc", caption2, 11), "a" + ellipsis);
  EXPECT_EQ(m.truncateTail("a" + flags + "bc", caption2, 16.5),
            "a\U0001F1EB\U0001F1F7\u2026");  // the first flag, then the ellipsis
}

TEST(PangoTextMeasurer, MonospacedDigitsGiveEveryDigitOneWidth) {
  const PangoTextMeasurer pango;
  const FontDescriptor plain = FontDescriptor::textStyle(TextStyle::caption);
  const FontDescriptor tabular = plain.withMonospacedDigits();
  // Proportional figures: a 1 is narrower than a 0.
  EXPECT_LT(pango.measure("1111", plain).width, pango.measure("0000", plain).width);
  EXPECT_NEAR(pango.measure("1111", tabular).width, pango.measure("0000", tabular).width, 1e-6);
}

TEST(PangoTextMeasurer, TruncationFitsAndKeepsThePrefix) {
  const PangoTextMeasurer pango;
  const FontDescriptor font = FontDescriptor::textStyle(TextStyle::subheadline, FontWeight::bold);
  const std::string title = "Photos, Maps, Music, Podcasts, Books and 3 more";
  const double available = 150;
  ASSERT_GT(pango.measure(title, font).width, available);
  const std::string cut = pango.truncateTail(title, font, available);
  EXPECT_TRUE(cut.ends_with(ellipsis)) << cut;
  EXPECT_LE(pango.measure(cut, font).width, available);
  EXPECT_EQ(title.compare(0, cut.size() - ellipsis.size(), cut, 0, cut.size() - ellipsis.size()),
            0);
}

}  // namespace
}  // namespace SwiftUI::Drawing
