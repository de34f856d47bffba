#include "presentation/PresentationRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "tests/presentation/PhaseVocabulary.h"

namespace tolvane {
namespace {

using testing::phaseStates;
using testing::phaseVocabulary;

TEST(EffectivePhase, PresentPhaseWinsThenCompletionThenPause) {
  for (const testing::PhaseState& row : phaseStates)
    EXPECT_EQ(effectivePhase(row.applied({})), row.shown) << row.name();
}

TEST(PhaseVocabulary, LabelColourSymbolAndBytesOfEachPhase) {
  for (const testing::PhaseWords& row : phaseVocabulary) {
    SCOPED_TRACE(rawValue(row.phase));
    EXPECT_EQ(phaseLabel(row.phase), row.label);
    EXPECT_EQ(phaseColor(row.phase), row.color);
    EXPECT_EQ(phaseIcon(row.phase), row.icon);
    EXPECT_EQ(showsBytes(row.phase), row.showsBytes);
  }
}

TEST(ProgressPercent, TruncatesTheDoubleProductTowardZeroUnclamped) {
  const std::pair<double, std::int64_t> rows[] = {
      {0.29, 28},  // 28.999999999999996
      {0.999, 99},
      {1.5, 150},
      {-0.004, 0},
      {-0.5, -50},
      // 100 × 2^56 fits and is exact; 100 × 2^57 lies beyond 2^63.
      {std::ldexp(1.0, 56), INT64_C(7205759403792793600)},
      {-std::ldexp(1.0, 56), INT64_C(-7205759403792793600)},
      // No meaningful percentage: 0, in every view.
      {std::ldexp(1.0, 57), 0},
      {-std::ldexp(1.0, 57), 0},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {-std::numeric_limits<double>::infinity(), 0}};
  for (const auto& [progress, percent] : rows)
    EXPECT_EQ(progressPercent(progress), percent) << progress;
}

TEST(SpeedAndBytes, RatesBelowOneAreZeroAndOthersGoThroughTheFormatter) {
  EXPECT_EQ(byteCountText(0), "Zero KB");
  EXPECT_EQ(byteCountText(-1572864), "-1.5 MB");
  EXPECT_EQ(speedText(0), "0 KB/s");  // not "Zero KB/s"
  EXPECT_EQ(speedText(std::numeric_limits<std::int64_t>::min()), "0 KB/s");
  EXPECT_EQ(speedText(1), "0 KB/s");  // the formatter's "0 KB" for one byte
  EXPECT_EQ(speedText(1572864), "1.5 MB/s");
  EXPECT_EQ(speedText(std::numeric_limits<std::int64_t>::max()), "8,589,934,592 GB/s");
}

}  // namespace
}  // namespace tolvane
