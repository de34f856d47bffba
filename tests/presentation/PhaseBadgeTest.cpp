// The phase badge: colour, symbol, arc end and which intent its button runs
// in each effective phase; the ring's strokes and frame; a tap's effect.
#include "presentation/PhaseBadge.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Tap.h"
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
  PhaseBadge badge(state(std::nullopt, false, false, 0.42), 28, 3);
  View ring = badge.ring();
  RingParts p = parts(ring);

  const StrokeStyle& track = p.track.modifier<StrokeModifier>()->style;
  EXPECT_EQ(track.lineWidth, 3);
  EXPECT_EQ(track.lineCap, CGLineCap::butt);
  EXPECT_EQ(track.lineJoin, CGLineJoin::miter);
  EXPECT_EQ(track.miterLimit, 10);
  EXPECT_TRUE(track.dash.empty());
  EXPECT_EQ(track.dashPhase, 0);

  const StrokeStyle& arc = p.arc.modifier<StrokeModifier>()->style;
  EXPECT_EQ(arc.lineWidth, 3);
  EXPECT_EQ(arc.lineCap, CGLineCap::round);
  EXPECT_EQ(arc.lineJoin, CGLineJoin::miter);
  EXPECT_EQ(arc.miterLimit, 10);

  // Trimmed, then stroked, then turned a quarter counter-clockwise about its
  // centre so that the arc starts at the top.
  ASSERT_EQ(p.arc.modifiers().size(), 3u);
  EXPECT_TRUE(std::holds_alternative<TrimModifier>(p.arc.modifiers()[0]));
  EXPECT_TRUE(std::holds_alternative<StrokeModifier>(p.arc.modifiers()[1]));
  EXPECT_EQ(p.arc.modifiers()[2],
            Modifier(RotationEffectModifier{Angle::degrees(-90), UnitPoint::center}));

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

TEST(BadgeTap, TappingTheDownloadingBadgePostsPauseDownloads) {
  std::atomic<int> pauses{0};
  std::atomic<int> resumes{0};
  auto& center = Foundation::NotificationCenter::defaultCenter();
  center.addObserver("PauseDownloads", nullptr, [&](const auto&) { pauses.fetch_add(1); });
  center.addObserver("ResumeDownloads", nullptr, [&](const auto&) { resumes.fetch_add(1); });

  auto tapped = tap(PhaseBadge(state(std::nullopt, false, false, 0.1), 28, 3).body());
  ASSERT_TRUE(tapped.has_value());
  tapped->get();
  EXPECT_EQ(pauses.load(), 1);
  EXPECT_EQ(resumes.load(), 0);

  tap(PhaseBadge(state(DownloadPhase::paused, false, false, 0.1), 28, 3).body())->get();
  EXPECT_EQ(resumes.load(), 1);

  EXPECT_FALSE(tap(PhaseBadge(state(DownloadPhase::completed, false, false, 1), 28, 3).body()));
}

}  // namespace
