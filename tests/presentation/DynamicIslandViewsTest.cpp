// The Dynamic Island's decisions, by effective phase: the expanded centre
// (status text, bytes row, summary, colours), the empty regions, and the
// compact and minimal views.
#include "presentation/DynamicIslandViews.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/presentation/ShownViews.h"

namespace {

using namespace SwiftUI;
using tolvane::ContentState;
using tolvane::DownloadActivityViewContext;
using tolvane::DownloadPhase;
using tolvane::testing::shows;
using tolvane::testing::theOne;
using WidgetKit::DynamicIslandExpandedRegionPosition;

ContentState makeState(std::optional<DownloadPhase> phase, bool isCompleted = false,
                       bool isPaused = false) {
  ContentState state;
  state.currentDownload = 1;
  state.totalDownloads = 1;
  state.overallProgress = 0.42;
  state.appNames = {"Lantern"};
  state.totalBytesDownloaded = 1048576;   // "1 MB"
  state.totalBytesExpected = 1610612736;  // "1.5 GB"
  state.bytesPerSecond = 1572864;         // "1.5 MB/s"
  state.isCompleted = isCompleted;
  state.isPaused = isPaused;
  state.phase = phase;
  return state;
}

DownloadActivityViewContext context(ContentState state) {
  return {std::move(state), {}};
}

View center(const ContentState& state) {
  for (const auto& region : tolvane::expandedContent(context(state))) {
    if (region.position == DynamicIslandExpandedRegionPosition::center) return region.content;
  }
  ADD_FAILURE() << "no center region";
  return EmptyView();
}

struct PhaseCase {
  std::optional<DownloadPhase> phase;
  bool isCompleted;
  bool isPaused;
  const char* label;
  Color color;
  bool bytesRow;
};

// One row per effective phase, and the flag combinations that reach them.
const PhaseCase phaseCases[] = {
    {DownloadPhase::queued, false, false, "Queued", Color::secondary, false},
    {DownloadPhase::downloading, false, false, "Downloading", Color::blue, true},
    {DownloadPhase::paused, false, false, "Paused", Color::orange, true},
    {DownloadPhase::importing, false, false, "Importing", Color::purple, false},
    {DownloadPhase::completed, false, false, "Done", Color::green, false},
    // A present phase wins over the flags.
    {DownloadPhase::queued, true, false, "Queued", Color::secondary, false},
    // Without a phase: completion before pause, else downloading.
    {std::nullopt, true, true, "Done", Color::green, false},
    {std::nullopt, false, true, "Paused", Color::orange, true},
};

TEST(ExpandedIsland, StatusBytesSummaryAndColoursFollowTheEffectivePhase) {
  for (const PhaseCase& c : phaseCases) {
    const std::string label = c.label;
    SCOPED_TRACE(label + (c.isCompleted ? " completed-flag" : "") +
                 (c.isPaused ? " paused-flag" : ""));
    const View centre = center(makeState(c.phase, c.isCompleted, c.isPaused));
    if (label == "Downloading") {
      EXPECT_EQ(theOne(centre, "1.5 MB/s").color, Color::secondary);
    } else {
      EXPECT_EQ(theOne(centre, label).color, c.color);
    }
    EXPECT_EQ(shows(centre, "1 MB"), c.bytesRow);
    EXPECT_EQ(shows(centre, "1.5 GB"), c.bytesRow);
    EXPECT_EQ(theOne(centre, label + " 42%").color, c.color);
    const auto bars = findAll(centre, ViewKind::progressView);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].modifier<TintModifier>()->color, c.color);
    // The badge at 24 is the expanded island's one control.
    EXPECT_EQ(tolvane::testing::buttonIntent(centre), label == "Downloading"
                                                          ? "PauseDownloadsIntent"
                                                      : label == "Paused" ? "ResumeDownloadsIntent"
                                                                          : "");
  }
}

TEST(ExpandedIsland, SummaryHasAShortFormBelowTwoDownloadsAndACounterFromTwoOn) {
  struct Case {
    std::optional<DownloadPhase> phase;
    bool isCompleted;
    double progress;
    std::int64_t current, total;
    const char* text;
  };
  const Case cases[] = {
      {DownloadPhase::queued, false, 0.0, 0, 0, "Queued 0%"},
      {DownloadPhase::downloading, false, 0.10, 1, 2, "Downloading 10% \u2022 1/2"},
      {DownloadPhase::paused, false, 0.5, 3, 7, "Paused 50% \u2022 3/7"},
      {DownloadPhase::downloading, false, 0.999, 7, 5,
       "Downloading 99% \u2022 7/5"},  // counter as stored
      {std::nullopt, true, 1.0, 1, 1, "Done 100%"},
      {DownloadPhase::importing, false, 0.29, 1, 1, "Importing 28%"},
  };
  for (const Case& c : cases) {
    ContentState state = makeState(c.phase, c.isCompleted);
    state.overallProgress = c.progress;
    state.currentDownload = c.current;
    state.totalDownloads = c.total;
    EXPECT_TRUE(theOne(center(state), c.text).localized) << c.text;
  }
}

TEST(ExpandedIsland, NamesAreShortenedAtThirtyCharacters) {
  ContentState state = makeState(DownloadPhase::downloading);
  // Joined, the first four are 35 characters: the lock screen keeps four,
  // the island three.
  state.appNames = {"Lantern", "Tallies", "Quill", "Loopcrafts", "Clipsy"};
  const auto names = textsShowing(center(state), "Lantern, Tallies, Quill\u2026");
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].modifier<LineLimitModifier>()->lines, 1);
}

TEST(ExpandedIsland, OnlyTheCenterRegionHasContent) {
  const auto regions = tolvane::expandedContent(context(makeState(DownloadPhase::paused)));
  ASSERT_EQ(regions.size(), 4u);
  for (const auto& region : regions) {
    EXPECT_EQ(region.content == View(EmptyView()),
              region.position != DynamicIslandExpandedRegionPosition::center);
  }
}

TEST(CompactAndMinimal, RingsInThePhaseColourNeverButtonsAndTheLeadingSpaceInvisible) {
  for (const PhaseCase& c : phaseCases) {
    const ContentState state = makeState(c.phase, c.isCompleted, c.isPaused);
    SCOPED_TRACE(c.label);
    const View leading = tolvane::compactLeadingView(context(state));
    const View minimal = tolvane::minimalView(context(state));
    for (const View& view : {leading, minimal}) {
      const auto symbols = findAll(view, ViewKind::image);
      ASSERT_EQ(symbols.size(), 1u);
      EXPECT_EQ(symbols[0].modifier<ForegroundColorModifier>()->color, c.color);
      EXPECT_TRUE(buttons(view).empty());
    }
    EXPECT_TRUE(buttons(tolvane::compactTrailingView(context(state))).empty());
    // Leading reserves one space after the ring, never visible.
    const auto space = textsShowing(leading, " ");
    ASSERT_EQ(space.size(), 1u);
    EXPECT_EQ(space[0].modifier<OpacityModifier>()->opacity, 0);
    EXPECT_TRUE(texts(minimal).empty());
  }
}

TEST(CompactTrailing, DoneMarkOnlyForTheCompletedEffectivePhaseElseThePercentage) {
  for (const PhaseCase& c : phaseCases) {
    SCOPED_TRACE(c.label);
    const View trailing =
        tolvane::compactTrailingView(context(makeState(c.phase, c.isCompleted, c.isPaused)));
    if (std::string(c.label) == "Done") {
      EXPECT_EQ(theOne(trailing, "checkmark.circle.fill").color, Color::green);
      EXPECT_EQ(theOne(trailing, "Done").color, Color::green);
      EXPECT_FALSE(shows(trailing, "42%"));
    } else {
      EXPECT_EQ(theOne(trailing, "42%").color, c.color);
    }
  }
  const std::pair<double, const char*> cases[] = {
      {0.29, "28%"}, {0.999, "99%"}, {1.5, "150%"}, {-0.004, "0%"}};
  for (const auto& [progress, text] : cases) {
    ContentState state = makeState(DownloadPhase::queued);
    state.overallProgress = progress;
    EXPECT_TRUE(shows(tolvane::compactTrailingView(context(state)), text));
  }
}

}  // namespace
