// The Dynamic Island's decisions, by effective phase: the expanded centre
// column (status text, byte row, summary, colours), the empty regions, and
// the ring, compact and minimal views. Expected texts and colours come from
// the phase vocabulary table and the island's worked examples.
#include "activity/DynamicIslandViews.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ViewQuery.h"
#include "platform/ui/Views.h"
#include "presentation/PhaseBadge.h"

namespace {

using namespace SwiftUI;
using tolvane::ContentState;
using tolvane::DownloadActivityViewContext;
using tolvane::DownloadPhase;
using WidgetKit::DynamicIslandExpandedRegionPosition;

ContentState makeState(std::optional<DownloadPhase> phase, bool isCompleted = false, bool isPaused = false) {
  ContentState state;
  state.currentDownload = 1;
  state.totalDownloads = 1;
  state.overallProgress = 0.42;
  state.appNames = {"Lantern"};
  state.totalBytesDownloaded = 1048576;    // "1 MB"
  state.totalBytesExpected = 1610612736;   // "1.5 GB"
  state.bytesPerSecond = 1572864;          // "1.5 MB/s"
  state.isCompleted = isCompleted;
  state.isPaused = isPaused;
  state.phase = phase;
  return state;
}

DownloadActivityViewContext context(ContentState state) { return {std::move(state), {}}; }

View center(const ContentState& state) {
  auto regions = tolvane::expandedContent(context(state));
  return regions.at(0).content;
}

// The centre column's children: names, progress row, [bytes row], summary.
const std::vector<View>& column(const View& centre) { return centre.children(); }
View statusText(const View& centre) { return column(centre).at(1).children().at(2); }
View summaryText(const View& centre) { return column(centre).back(); }

struct PhaseCase {
  std::optional<DownloadPhase> phase;
  bool isCompleted;
  bool isPaused;
  const char* status;  // as shown
  Color color;
  bool bytesRow;
  const char* icon;
};

// One row per effective phase, and the flag combinations that reach them.
const PhaseCase phaseCases[] = {
    {DownloadPhase::queued, false, false, "Queued", Color::secondary, false, "clock"},
    {DownloadPhase::downloading, false, false, "1.5 MB/s", Color::blue, true, "arrow.down"},
    {DownloadPhase::paused, false, false, "Paused", Color::orange, true, "pause.fill"},
    {DownloadPhase::importing, false, false, "Importing", Color::purple, false, "shippingbox.fill"},
    {DownloadPhase::completed, false, false, "Done", Color::green, false, "checkmark"},
    // A present phase wins over the flags.
    {DownloadPhase::downloading, true, true, "1.5 MB/s", Color::blue, true, "arrow.down"},
    {DownloadPhase::queued, true, false, "Queued", Color::secondary, false, "clock"},
    // Without a phase: completion before pause, else downloading.
    {std::nullopt, true, true, "Done", Color::green, false, "checkmark"},
    {std::nullopt, false, true, "Paused", Color::orange, true, "pause.fill"},
    {std::nullopt, false, false, "1.5 MB/s", Color::blue, true, "arrow.down"},
};

TEST(ExpandedIsland, StatusTextBytesRowAndColoursFollowTheEffectivePhase) {
  for (const PhaseCase& c : phaseCases) {
    SCOPED_TRACE(c.status + std::string(c.isCompleted ? " completed-flag" : "") + (c.isPaused ? " paused-flag" : ""));
    const View centre = center(makeState(c.phase, c.isCompleted, c.isPaused));
    const View status = statusText(centre);
    EXPECT_EQ(textOf(status), c.status);
    EXPECT_EQ(status.as<TextNode>()->kind(), TextNode::Kind::verbatim);
    if (std::string(c.status) == "1.5 MB/s") {
      // The speed: caption, always secondary, tabular digits.
      EXPECT_EQ(status.modifiers(), (std::vector<Modifier>{FontModifier{Font::caption},
                                                             ForegroundColorModifier{Color::secondary},
                                                             MonospacedDigitModifier{}}));
    } else {
      EXPECT_EQ(status.modifiers(), (std::vector<Modifier>{FontModifier{Font::caption},
                                                             FontWeightModifier{Font::Weight::semibold},
                                                             ForegroundColorModifier{c.color}}));
    }
    EXPECT_EQ(column(centre).size(), c.bytesRow ? 4u : 3u);
    const View bar = column(centre).at(1).children().at(1);
    EXPECT_EQ(*bar.modifier<TintModifier>(), TintModifier{c.color});
    EXPECT_EQ(*summaryText(centre).modifier<ForegroundColorModifier>(), ForegroundColorModifier{c.color});
  }
}

TEST(ExpandedIsland, BytesRowIsThreeCaption2TextsWithALocalizableSlash) {
  const View centre = center(makeState(DownloadPhase::paused));
  const View row = column(centre).at(2);
  ASSERT_EQ(row.kind(), ViewKind::hstack);
  EXPECT_EQ(*row.as<HStackNode>(), (HStackNode{VerticalAlignment::center, 4}));
  ASSERT_EQ(row.children().size(), 3u);
  EXPECT_EQ(textOf(row.children()[0]), "1 MB");
  EXPECT_EQ(textOf(row.children()[1]), "/");
  EXPECT_EQ(row.children()[1].as<TextNode>()->kind(), TextNode::Kind::localized);
  EXPECT_EQ(textOf(row.children()[2]), "1.5 GB");
  EXPECT_EQ(row.children()[0].as<TextNode>()->kind(), TextNode::Kind::verbatim);
  EXPECT_EQ(row.modifiers(), (std::vector<Modifier>{FontModifier{Font::caption2},
                                                      ForegroundColorModifier{Color::secondary}}));
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
      {DownloadPhase::downloading, false, 0.42, 1, 1, "Downloading 42%"},
      {DownloadPhase::queued, false, 0.0, 0, 0, "Queued 0%"},
      {DownloadPhase::downloading, false, 0.10, 1, 2, "Downloading 10% \u2022 1/2"},
      {DownloadPhase::paused, false, 0.5, 3, 7, "Paused 50% \u2022 3/7"},
      {DownloadPhase::downloading, false, 0.999, 7, 5, "Downloading 99% \u2022 7/5"},  // counter as stored
      {std::nullopt, true, 1.0, 1, 1, "Done 100%"},
      {DownloadPhase::importing, false, 0.29, 1, 1, "Importing 28%"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ContentState state = makeState(c.phase, c.isCompleted);
    state.overallProgress = c.progress;
    state.currentDownload = c.current;
    state.totalDownloads = c.total;
    const View summary = summaryText(center(state));
    EXPECT_EQ(textOf(summary), c.text);
    const auto* text = summary.as<TextNode>();
    ASSERT_EQ(text->kind(), TextNode::Kind::localized);
    const auto& key = std::get<TextNode::Localized>(text->content).key;
    EXPECT_EQ(key.key(), c.total < 2 ? "%@ %lld%%" : "%@ %lld%% \u2022 %lld/%lld");
    EXPECT_EQ(*summary.modifier<FontModifier>(), FontModifier{Font::caption});
  }
}

TEST(ExpandedIsland, NamesLineIsShortenedAtThirtyCharacters) {
  ContentState state = makeState(DownloadPhase::downloading);
  // Joined, the first four are 35 characters: the lock screen keeps four,
  // the island three.
  state.appNames = {"Lantern", "Tallies", "Quill", "Loopcrafts", "Clipsy"};
  const View names = column(center(state)).at(0);
  EXPECT_EQ(textOf(names), "Lantern, Tallies, Quill\u2026");
  EXPECT_EQ(names.modifiers(),
            (std::vector<Modifier>{FontModifier{Font::subheadline}, FontWeightModifier{Font::Weight::medium},
                                   LineLimitModifier{1}, TruncationModeModifier{TruncationMode::tail},
                                   MultilineTextAlignmentModifier{TextAlignment::center}}));
}

TEST(ExpandedIsland, ProgressRowPlacesTheSmallBadgeAndAStretchedBar) {
  const ContentState state = makeState(DownloadPhase::downloading);
  const View centre = center(state);
  EXPECT_EQ(*centre.as<VStackNode>(), (VStackNode{HorizontalAlignment::center, 6}));
  EXPECT_EQ(centre.modifiers(), (std::vector<Modifier>{PaddingModifier{Edge::Set::horizontal, 8}}));
  const View row = column(centre).at(1);
  EXPECT_EQ(*row.as<HStackNode>(), (HStackNode{VerticalAlignment::center, 8}));
  EXPECT_EQ(row.children().at(0), View(tolvane::PhaseBadge(state, 24, 2)));
  const View bar = row.children().at(1);
  EXPECT_EQ(*bar.as<ProgressViewNode>(), (ProgressViewNode{0.42, 1.0}));
  EXPECT_EQ(bar.modifiers(), (std::vector<Modifier>{TintModifier{Color::blue},
                                                      FrameModifier{.maxWidth = infinity},
                                                      ScaleEffectModifier{1.0, 1.5, UnitPoint::center}}));
  // The badge is the expanded island's one button.
  EXPECT_EQ(buttons(centre).size(), 1u);
}

TEST(ExpandedIsland, OnlyTheCenterRegionHasContentInEveryPhase) {
  for (const PhaseCase& c : phaseCases) {
    const auto regions = tolvane::expandedContent(context(makeState(c.phase, c.isCompleted, c.isPaused)));
    ASSERT_EQ(regions.size(), 4u);
    const DynamicIslandExpandedRegionPosition order[] = {
        DynamicIslandExpandedRegionPosition::center, DynamicIslandExpandedRegionPosition::leading,
        DynamicIslandExpandedRegionPosition::trailing, DynamicIslandExpandedRegionPosition::bottom};
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(regions[i].position, order[i]);
      EXPECT_EQ(regions[i].priority, 0);
    }
    EXPECT_EQ(regions[0].content.kind(), ViewKind::vstack);
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(regions[i].content, EmptyView());
  }
}

TEST(IslandRing, DiffersFromTheBadgeInArcEndLineWidthAndButton) {
  // Completed at 0.6: the badge draws a full circle, the ring 60 per cent.
  ContentState state = makeState(DownloadPhase::completed);
  state.overallProgress = 0.6;
  const View ring = tolvane::islandRing(context(state), 20, 10);
  ASSERT_EQ(ring.kind(), ViewKind::zstack);
  EXPECT_TRUE(ring.modifiers().empty());  // sized by its two framed circles
  ASSERT_EQ(ring.children().size(), 3u);
  const View& track = ring.children()[0];
  const View& arc = ring.children()[1];
  const View& icon = ring.children()[2];
  const StrokeStyle butt{.lineWidth = 2, .lineCap = CGLineCap::butt};
  const StrokeStyle round{.lineWidth = 2, .lineCap = CGLineCap::round};
  EXPECT_EQ(track.modifiers(), (std::vector<Modifier>{StrokeModifier{Color::green.opacity(0.3), butt},
                                                        FrameModifier{.width = 20, .height = 20}}));
  EXPECT_EQ(arc.modifiers(),
            (std::vector<Modifier>{TrimModifier{0, 0.6}, StrokeModifier{Color::green, round},
                                   FrameModifier{.width = 20, .height = 20},
                                   RotationEffectModifier{Angle::degrees(-90), UnitPoint::center}}));
  EXPECT_EQ(icon.as<ImageNode>()->systemName, "checkmark");
  EXPECT_EQ(icon.modifiers(),
            (std::vector<Modifier>{FontModifier{Font::system(10)}, ForegroundColorModifier{Color::green}}));

  // The badge at the same size would have drawn the full arc.
  const View badgeArc = tolvane::PhaseBadge(state, 20, 2).ring().children()[1];
  EXPECT_EQ(*badgeArc.modifier<TrimModifier>(), (TrimModifier{0, 1}));
}

TEST(IslandRing, ArcEndIsOverallProgressUnclampedAndNeverAButton) {
  for (double progress : {-0.2, 0.0, 0.999, 1.5}) {
    for (const PhaseCase& c : phaseCases) {
      ContentState state = makeState(c.phase, c.isCompleted, c.isPaused);
      state.overallProgress = progress;
      const View ring = tolvane::islandRing(context(state), 18, 9);
      EXPECT_EQ(*ring.children()[1].modifier<TrimModifier>(), (TrimModifier{0, progress}));
      EXPECT_EQ(ring.children()[2].as<ImageNode>()->systemName, c.icon);
      EXPECT_EQ(*ring.children()[0].modifier<StrokeModifier>(),
                (StrokeModifier{c.color.opacity(0.3), StrokeStyle{.lineWidth = 2}}));
      EXPECT_TRUE(buttons(tolvane::compactLeadingView(context(state))).empty());
      EXPECT_TRUE(buttons(tolvane::compactTrailingView(context(state))).empty());
      EXPECT_TRUE(buttons(tolvane::minimalView(context(state))).empty());
    }
  }
}

TEST(CompactLeading, IsTheRingAtTwentyAndOneTransparentSpace) {
  for (const PhaseCase& c : phaseCases) {
    const ContentState state = makeState(c.phase, c.isCompleted, c.isPaused);
    const View leading = tolvane::compactLeadingView(context(state));
    EXPECT_EQ(*leading.as<HStackNode>(), (HStackNode{VerticalAlignment::center, 0}));
    ASSERT_EQ(leading.children().size(), 2u);
    EXPECT_EQ(leading.children()[0], tolvane::islandRing(context(state), 20, 10));
    const View& space = leading.children()[1];
    const auto* text = space.as<TextNode>();
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(text->kind(), TextNode::Kind::localized);
    EXPECT_EQ(std::get<TextNode::Localized>(text->content).key.key(), " ");
    // No font of its own, and never visible.
    EXPECT_EQ(space.modifiers(), (std::vector<Modifier>{OpacityModifier{0}}));
  }
}

TEST(Minimal, IsTheRingAtEighteenAlone) {
  const ContentState state = makeState(DownloadPhase::importing);
  const View minimal = tolvane::minimalView(context(state));
  EXPECT_EQ(minimal, tolvane::islandRing(context(state), 18, 9));
  EXPECT_EQ(*minimal.children()[0].modifier<FrameModifier>(), (FrameModifier{.width = 18, .height = 18}));
  EXPECT_EQ(*minimal.children()[2].modifier<FontModifier>(), FontModifier{Font::system(9)});
  EXPECT_EQ(*minimal.children()[2].modifier<ForegroundColorModifier>(), ForegroundColorModifier{Color::purple});
}

TEST(CompactTrailing, ShowsTheDoneMarkOnlyForTheCompletedEffectivePhase) {
  for (const PhaseCase& c : phaseCases) {
    SCOPED_TRACE(c.status);
    ContentState state = makeState(c.phase, c.isCompleted, c.isPaused);
    const View trailing = tolvane::compactTrailingView(context(state));
    if (c.color == Color::green) {
      EXPECT_EQ(*trailing.as<HStackNode>(), (HStackNode{VerticalAlignment::center, 2}));
      ASSERT_EQ(trailing.children().size(), 2u);
      EXPECT_EQ(trailing.children()[0], Image("checkmark.circle.fill"));
      EXPECT_EQ(textOf(trailing.children()[1]), "Done");
      EXPECT_EQ(trailing.children()[1].as<TextNode>()->kind(), TextNode::Kind::localized);
      EXPECT_EQ(trailing.children()[1].modifiers(),
                (std::vector<Modifier>{FontWeightModifier{Font::Weight::semibold}}));
      EXPECT_EQ(trailing.modifiers(), (std::vector<Modifier>{FontModifier{Font::caption2},
                                                               ForegroundColorModifier{Color::green}}));
    } else {
      EXPECT_EQ(textOf(trailing), "42%");
      EXPECT_EQ(trailing.modifiers(),
                (std::vector<Modifier>{FontModifier{Font::caption2}, FontWeightModifier{Font::Weight::semibold},
                                       ForegroundColorModifier{c.color}}));
    }
  }
}

TEST(CompactTrailing, PercentageTruncatesAndIsNotClamped) {
  const std::pair<double, const char*> cases[] = {{0.0, "0%"}, {0.29, "28%"}, {0.999, "99%"},
                                                  {1.0, "100%"}, {1.5, "150%"}, {-0.004, "0%"}};
  for (const auto& [progress, text] : cases) {
    ContentState state = makeState(DownloadPhase::queued);
    state.overallProgress = progress;
    EXPECT_EQ(textOf(tolvane::compactTrailingView(context(state))), text);
  }
}

}  // namespace
