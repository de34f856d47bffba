// The Dynamic Island's texts and colours by effective phase: the expanded
// centre (names, status, bytes row, summary, badge) and the compact
// trailing view.
#include "presentation/DynamicIslandViews.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/presentation/PhaseVocabulary.h"
#include "tests/presentation/ShownViews.h"

namespace {

using namespace SwiftUI;
using tolvane::ContentState;
using tolvane::DownloadPhase;
using tolvane::testing::PhaseState;
using tolvane::testing::phaseStates;
using tolvane::testing::PhaseWords;
using tolvane::testing::shows;
using tolvane::testing::theOne;
using tolvane::testing::wordsOf;

// One of one at 0.42, 1.5 MB/s, 1 MB of 1.5 GB. Joined, the first four names
// are 35 characters: the lock screen keeps four, the island three.
ContentState makeState(std::optional<DownloadPhase> phase = std::nullopt) {
  ContentState state;
  state.currentDownload = 1;
  state.totalDownloads = 1;
  state.overallProgress = 0.42;
  state.appNames = {"Lantern", "Tallies", "Quill", "Loopcrafts", "Clipsy"};
  state.totalBytesDownloaded = 1048576;
  state.totalBytesExpected = 1610612736;
  state.bytesPerSecond = 1572864;
  state.phase = phase;
  return state;
}

View center(const ContentState& state) {
  for (const auto& region : tolvane::expandedContent({state, {}, {}})) {
    if (region.position == WidgetKit::DynamicIslandExpandedRegionPosition::center)
      return region.content;
  }
  ADD_FAILURE() << "no center region";
  return EmptyView();
}

TEST(ExpandedIsland, StatusBytesSummaryAndColoursFollowTheEffectivePhase) {
  for (const PhaseState& row : phaseStates) {
    SCOPED_TRACE(row.name());
    const PhaseWords& words = wordsOf(row.shown);
    const std::string label = words.label;
    const View centre = center(row.applied(makeState()));
    EXPECT_TRUE(shows(centre, "Lantern, Tallies, Quill\u2026"));
    if (row.shown == DownloadPhase::downloading) {
      EXPECT_EQ(theOne(centre, "1.5 MB/s").color, Color::secondary);
    } else {
      EXPECT_EQ(theOne(centre, label).color, words.color);
    }
    EXPECT_EQ(shows(centre, "1 MB"), words.showsBytes);
    EXPECT_EQ(shows(centre, "1.5 GB"), words.showsBytes);
    EXPECT_EQ(theOne(centre, label + " 42%").color, words.color);
    const auto bars = findAll(centre, ViewKind::progressView);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].modifier<TintModifier>()->color, words.color);
    // The badge is the expanded island's one control.
    EXPECT_EQ(tolvane::testing::buttonIntent(centre), words.badgeIntent);
  }
}

TEST(ExpandedIsland, SummaryHasAShortFormBelowTwoDownloadsAndACounterFromTwoOn) {
  struct Case {
    DownloadPhase phase;
    double progress;
    std::int64_t current, total;
    const char* text;
  };
  const Case cases[] = {
      {DownloadPhase::queued, 0.0, 0, 0, "Queued 0%"},
      {DownloadPhase::importing, 0.29, 1, 1, "Importing 28%"},
      {DownloadPhase::downloading, 0.10, 1, 2, "Downloading 10% \u2022 1/2"},
      {DownloadPhase::paused, 0.5, 3, 7, "Paused 50% \u2022 3/7"},
      {DownloadPhase::downloading, 0.999, 7, 5, "Downloading 99% \u2022 7/5"},  // as stored
  };
  for (const Case& c : cases) {
    ContentState state = makeState(c.phase);
    state.overallProgress = c.progress;
    state.currentDownload = c.current;
    state.totalDownloads = c.total;
    EXPECT_TRUE(theOne(center(state), c.text).localized) << c.text;
  }
}

TEST(CompactTrailing, DoneMarkOnlyForTheCompletedEffectivePhaseElseThePercentage) {
  for (const PhaseState& row : phaseStates) {
    SCOPED_TRACE(row.name());
    const View trailing = tolvane::compactTrailingView({row.applied(makeState()), {}, {}});
    if (row.shown == DownloadPhase::completed) {
      EXPECT_EQ(theOne(trailing, "checkmark.circle.fill").color, Color::green);
      EXPECT_EQ(theOne(trailing, "Done").color, Color::green);
      EXPECT_FALSE(shows(trailing, "42%"));
    } else {
      EXPECT_EQ(theOne(trailing, "42%").color, wordsOf(row.shown).color);
    }
  }
  const std::pair<double, const char*> cases[] = {{0.29, "28%"}, {1.5, "150%"}, {-0.004, "0%"}};
  for (const auto& [progress, text] : cases) {
    ContentState state = makeState(DownloadPhase::queued);
    state.overallProgress = progress;
    EXPECT_TRUE(shows(tolvane::compactTrailingView({state, {}, {}}), text)) << text;
  }
}

}  // namespace
