#include "presentation/PresentationRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tolvane {
namespace {

ContentState stateWith(std::optional<DownloadPhase> phase, bool isCompleted, bool isPaused) {
  ContentState state;
  state.phase = phase;
  state.isCompleted = isCompleted;
  state.isPaused = isPaused;
  return state;
}

TEST(EffectivePhase, FlagsDecideOnlyWhenPhaseIsAbsent) {
  EXPECT_EQ(effectivePhase(stateWith(std::nullopt, false, false)), DownloadPhase::downloading);
  EXPECT_EQ(effectivePhase(stateWith(std::nullopt, false, true)), DownloadPhase::paused);
  EXPECT_EQ(effectivePhase(stateWith(std::nullopt, true, false)), DownloadPhase::completed);
  // Completed wins over paused.
  EXPECT_EQ(effectivePhase(stateWith(std::nullopt, true, true)), DownloadPhase::completed);
}

TEST(EffectivePhase, PresentPhaseWinsOverBothFlags) {
  EXPECT_EQ(effectivePhase(stateWith(DownloadPhase::queued, true, false)), DownloadPhase::queued);
  EXPECT_EQ(effectivePhase(stateWith(DownloadPhase::downloading, true, true)),
            DownloadPhase::downloading);
  EXPECT_EQ(effectivePhase(stateWith(DownloadPhase::importing, false, true)),
            DownloadPhase::importing);
  EXPECT_EQ(effectivePhase(stateWith(DownloadPhase::paused, true, false)), DownloadPhase::paused);
  EXPECT_EQ(effectivePhase(stateWith(DownloadPhase::completed, false, false)),
            DownloadPhase::completed);
}

TEST(PhaseVocabulary, EachPhaseHasItsLabelColourAndSymbol) {
  struct Row {
    DownloadPhase phase;
    const char* label;
    SwiftUI::Color color;
    const char* icon;
  };
  const Row rows[] = {
      {DownloadPhase::queued, "Queued", SwiftUI::Color::secondary, "clock"},
      {DownloadPhase::downloading, "Downloading", SwiftUI::Color::blue, "arrow.down"},
      {DownloadPhase::paused, "Paused", SwiftUI::Color::orange, "pause.fill"},
      {DownloadPhase::importing, "Importing", SwiftUI::Color::purple, "shippingbox.fill"},
      {DownloadPhase::completed, "Done", SwiftUI::Color::green, "checkmark"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(phaseLabel(row.phase), row.label);
    EXPECT_EQ(phaseColor(row.phase), row.color) << row.label;
    EXPECT_EQ(phaseIcon(row.phase), row.icon) << row.label;
  }
}

TEST(PhaseVocabulary, LooksUpTheEffectivePhase) {
  const DownloadPhase bothFlags = effectivePhase(stateWith(std::nullopt, true, true));
  EXPECT_EQ(phaseLabel(bothFlags), "Done");
  EXPECT_EQ(phaseColor(bothFlags), SwiftUI::Color::green);
  const DownloadPhase noFlags = effectivePhase(stateWith(std::nullopt, false, false));
  EXPECT_EQ(phaseLabel(noFlags), "Downloading");
  EXPECT_EQ(phaseColor(noFlags), SwiftUI::Color::blue);
  EXPECT_EQ(phaseIcon(noFlags), "arrow.down");
}

TEST(ProgressPercent, TruncatesTheDoubleProductTowardZero) {
  EXPECT_EQ(progressPercent(0.29), 28);  // 28.999999999999996
  EXPECT_EQ(progressPercent(0.42), 42);
  EXPECT_EQ(progressPercent(0.999), 99);
  EXPECT_EQ(progressPercent(1.0), 100);
  EXPECT_EQ(progressPercent(1.2), 120);
  EXPECT_EQ(progressPercent(1.5), 150);
  EXPECT_EQ(progressPercent(0.0), 0);
  EXPECT_EQ(progressPercent(-0.0), 0);
  EXPECT_EQ(progressPercent(-0.004), 0);
  EXPECT_EQ(progressPercent(-0.5), -50);  // no clamping
}

TEST(ProgressPercent, NonFiniteAndOutOfRangeProductsGiveZero) {
  EXPECT_EQ(progressPercent(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(progressPercent(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(progressPercent(-std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(progressPercent(std::numeric_limits<double>::max()), 0);
  EXPECT_EQ(progressPercent(-std::numeric_limits<double>::max()), 0);
  // 100 × 2^57 = 25 × 2^59 lies beyond 2^63; 100 × 2^56 = 25 × 2^58 fits and
  // is exact.
  EXPECT_EQ(progressPercent(std::ldexp(1.0, 57)), 0);
  EXPECT_EQ(progressPercent(-std::ldexp(1.0, 57)), 0);
  EXPECT_EQ(progressPercent(std::ldexp(1.0, 56)), INT64_C(7205759403792793600));
  EXPECT_EQ(progressPercent(-std::ldexp(1.0, 56)), INT64_C(-7205759403792793600));
}

TEST(ByteCountText, UsesTheSystemFormatterSettings) {
  EXPECT_EQ(byteCountText(0), "Zero KB");
  EXPECT_EQ(byteCountText(1048575), "1 MB");
  EXPECT_EQ(byteCountText(-1572864), "-1.5 MB");
}

TEST(SpeedText, RatesBelowOneAreZeroAndOthersGoThroughTheFormatter) {
  EXPECT_EQ(speedText(0), "0 KB/s");  // not "Zero KB/s"
  EXPECT_EQ(speedText(-5), "0 KB/s");
  EXPECT_EQ(speedText(std::numeric_limits<std::int64_t>::min()), "0 KB/s");
  EXPECT_EQ(speedText(1), "0 KB/s");  // the formatter's "0 KB" for one byte
  EXPECT_EQ(speedText(1536), "2 KB/s");
  EXPECT_EQ(speedText(1572864), "1.5 MB/s");
  EXPECT_EQ(speedText(std::numeric_limits<std::int64_t>::max()), "8,589,934,592 GB/s");
}

}  // namespace
}  // namespace tolvane
