// The phase badge: colour, symbol, arc end and which intent its button runs
// in each effective phase; the ring's strokes and frame; a tap's effect.
#include "presentation/PhaseBadge.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ui/ViewQuery.h"

namespace {

using namespace SwiftUI;
using tolvane::ContentState;
using tolvane::DownloadPhase;
using tolvane::PhaseBadge;

ContentState state(std::optional<DownloadPhase> phase, bool isCompleted, bool isPaused,
                   double progress) {
  ContentState s;
  s.phase = phase;
  s.isCompleted = isCompleted;
  s.isPaused = isPaused;
  s.overallProgress = progress;
  return s;
}

// The three layers of a ring, found by their place in the ZStack.
struct RingParts {
  View track, arc, icon;
};
RingParts parts(const View& ring) {
  EXPECT_EQ(ring.kind(), ViewKind::zstack);
  EXPECT_EQ(ring.children().size(), 3u);
  return {ring.children().at(0), ring.children().at(1), ring.children().at(2)};
}

struct BadgeCase {
  const char* name;
  ContentState state;
  Color color;
  const char* icon;
  double arcEnd;
  const char* intent;  // nullptr: the badge is no button
};

void PrintTo(const BadgeCase& c, std::ostream* os) { *os << c.name; }

class BadgeByPhase : public ::testing::TestWithParam<BadgeCase> {};

TEST_P(BadgeByPhase, ColourIconArcAndAction) {
  const BadgeCase& c = GetParam();
  PhaseBadge badge(c.state, 28, 3);
  RingParts ring = parts(badge.ring());

  EXPECT_EQ(ring.track.modifier<StrokeModifier>()->color, c.color.opacity(0.3));
  EXPECT_EQ(ring.track.modifier<TrimModifier>(), nullptr);  // always the full circle
  EXPECT_EQ(ring.arc.modifier<StrokeModifier>()->color, c.color);
  EXPECT_EQ(*ring.arc.modifier<TrimModifier>(), (TrimModifier{0, c.arcEnd}));
  EXPECT_EQ(ring.icon.as<ImageNode>()->systemName, c.icon);
  EXPECT_EQ(ring.icon.modifier<ForegroundColorModifier>()->color, c.color);

  View body = badge.body();
  if (c.intent == nullptr) {
    EXPECT_EQ(body, badge.ring());
    EXPECT_TRUE(buttons(body).empty());
  } else {
    ASSERT_EQ(body.kind(), ViewKind::button);
    EXPECT_EQ(body.as<ButtonNode>()->intent.typeName(), c.intent);
    EXPECT_EQ(body.children().at(0), badge.ring());
    EXPECT_EQ(body.modifiers(), std::vector<Modifier>{ButtonStyleModifier{ButtonStyle::plain}});
  }
}

INSTANTIATE_TEST_SUITE_P(
    EffectivePhases, BadgeByPhase,
    ::testing::Values(
        BadgeCase{"NoPhaseNoFlagsIsDownloading", state(std::nullopt, false, false, 0.42),
                  Color::blue, "arrow.down", 0.42, "PauseDownloadsIntent"},
        BadgeCase{"NoPhaseCompletionWinsOverPause", state(std::nullopt, true, true, 0.42),
                  Color::green, "checkmark", 1.0, nullptr},
        BadgeCase{"NoPhasePausedFlagOnly", state(std::nullopt, false, true, 0.3), Color::orange,
                  "pause.fill", 0.3, "ResumeDownloadsIntent"},
        BadgeCase{"PresentPausedWinsOverFlags", state(DownloadPhase::paused, false, false, 0.5),
                  Color::orange, "pause.fill", 0.5, "ResumeDownloadsIntent"},
        BadgeCase{"PresentDownloadingWinsOverCompleted",
                  state(DownloadPhase::downloading, true, false, 0.7), Color::blue, "arrow.down",
                  0.7, "PauseDownloadsIntent"},
        BadgeCase{"CompletedDrawsTheFullArc", state(DownloadPhase::completed, false, false, 0.4),
                  Color::green, "checkmark", 1.0, nullptr},
        BadgeCase{"QueuedAtZero", state(DownloadPhase::queued, true, false, 0), Color::secondary,
                  "clock", 0, nullptr},
        BadgeCase{"Importing", state(DownloadPhase::importing, false, false, 0.8), Color::purple,
                  "shippingbox.fill", 0.8, nullptr},
        BadgeCase{"ProgressAboveOneIsPassedUnclamped",
                  state(DownloadPhase::downloading, false, false, 1.5), Color::blue, "arrow.down",
                  1.5, "PauseDownloadsIntent"},
        BadgeCase{"NegativeProgressIsPassedUnclamped",
                  state(DownloadPhase::importing, false, false, -0.2), Color::purple,
                  "shippingbox.fill", -0.2, nullptr}),
    [](const ::testing::TestParamInfo<BadgeCase>& param) { return std::string(param.param.name); });

TEST(BadgeRing, StrokesRotationAndFrameFollowSizeAndLineWidth) {
  View ring = PhaseBadge(state(std::nullopt, false, false, 0.42), 28, 3).ring();
  RingParts p = parts(ring);
  // Track: butt caps; arc: round caps, trimmed, then stroked, then turned a
  // quarter counter-clockwise about its centre so that it starts at the top.
  // Both: miter joins, miter limit 10, no dash.
  EXPECT_EQ(p.track.modifiers(),
            (std::vector<Modifier>{StrokeModifier{Color::blue.opacity(0.3),
                                                  {3, CGLineCap::butt, CGLineJoin::miter, 10, {}, 0}}}));
  EXPECT_EQ(p.arc.modifiers(),
            (std::vector<Modifier>{
                TrimModifier{0, 0.42},
                StrokeModifier{Color::blue, {3, CGLineCap::round, CGLineJoin::miter, 10, {}, 0}},
                RotationEffectModifier{Angle::degrees(-90), UnitPoint::center}}));
  EXPECT_EQ(ring.as<ZStackNode>()->alignment, Alignment::center);
  EXPECT_EQ(ring.modifiers(),
            (std::vector<Modifier>{FrameModifier{.width = 28, .height = 28,
                                                 .alignment = Alignment::center}}));
}

TEST(BadgeRing, IconPointSizeIsFortyFivePerCentOfTheSize) {
  auto iconSize = [](double size) {
    View icon = parts(PhaseBadge(ContentState(), size, 2).ring()).icon;
    return std::get<Font::System>(icon.modifier<FontModifier>()->font.value).size;
  };
  EXPECT_DOUBLE_EQ(iconSize(28), 12.6);
  EXPECT_DOUBLE_EQ(iconSize(24), 10.8);
  EXPECT_EQ(parts(PhaseBadge(ContentState(), 24, 2).ring()).icon.modifier<FontWeightModifier>(),
            nullptr);
}

}  // namespace
