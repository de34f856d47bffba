// The phase badge and the island's ring: what they draw in each effective
// phase, where the arc starts, and which intent the badge's button runs.
#include "presentation/PhaseBadge.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Layout.h"
#include "presentation/DynamicIslandViews.h"
#include "tests/presentation/ShownViews.h"

namespace {

using namespace SwiftUI;
using tolvane::ContentState;
using tolvane::DownloadPhase;
using tolvane::PhaseBadge;
namespace D = SwiftUI::Drawing;

ContentState state(std::optional<DownloadPhase> phase, bool isCompleted, bool isPaused,
                   double progress) {
  ContentState s;
  s.phase = phase;
  s.isCompleted = isCompleted;
  s.isPaused = isPaused;
  s.overallProgress = progress;
  return s;
}

// The ring as drawn: its two strokes (track, then arc), the arc's turn, and
// the symbol.
struct DrawnRing {
  std::vector<D::StrokeCircle> strokes;
  std::optional<D::AffineTransform> arcTurn;
  std::vector<D::DrawSymbol> symbols;
};

DrawnRing drawn(const View& view, double side) {
  D::FixedMetricsTextMeasurer measurer;
  LayoutEngine engine(measurer);
  const D::DrawList list = drawCommands(engine.layout(view, {side, side}));
  DrawnRing ring;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (const auto* c = std::get_if<D::StrokeCircle>(&list[i])) ring.strokes.push_back(*c);
    if (const auto* s = std::get_if<D::DrawSymbol>(&list[i])) ring.symbols.push_back(*s);
    const auto* push = std::get_if<D::PushTransform>(&list[i]);
    if (push && i + 1 < list.size() && std::holds_alternative<D::StrokeCircle>(list[i + 1])) {
      ring.arcTurn = push->transform;
    }
  }
  return ring;
}

struct BadgeCase {
  const char* name;
  ContentState state;
  Color color;
  const char* icon;
  double arcEnd;
  const char* intent;  // "": the badge is no button
};

void PrintTo(const BadgeCase& c, std::ostream* os) {
  *os << c.name;
}

class BadgeByPhase : public ::testing::TestWithParam<BadgeCase> {};

TEST_P(BadgeByPhase, DrawsTrackArcAndSymbolInThePhaseColourAndRunsItsIntent) {
  const BadgeCase& c = GetParam();
  const PhaseBadge badge(c.state, 28, 3);
  const DrawnRing ring = drawn(badge.body(), 28);
  ASSERT_EQ(ring.strokes.size(), 2u);
  const D::StrokeCircle& track = ring.strokes[0];
  const D::StrokeCircle& arc = ring.strokes[1];
  EXPECT_EQ(track.paint, D::Paint(c.color.opacity(0.3)));
  EXPECT_EQ(track.trimTo, 1);  // the full circle, whatever the progress
  EXPECT_EQ(arc.paint, D::Paint(c.color));
  EXPECT_EQ(arc.trimTo, c.arcEnd);  // as given: the renderer clamps
  ASSERT_EQ(ring.symbols.size(), 1u);
  EXPECT_EQ(ring.symbols[0].name, c.icon);
  EXPECT_EQ(ring.symbols[0].color, D::Paint(c.color));
  EXPECT_EQ(tolvane::testing::buttonIntent(badge.body()), c.intent);
}

INSTANTIATE_TEST_SUITE_P(
    EffectivePhases, BadgeByPhase,
    ::testing::Values(
        BadgeCase{"NoPhaseNoFlagsIsDownloading", state(std::nullopt, false, false, 0.42),
                  Color::blue, "arrow.down", 0.42, "PauseDownloadsIntent"},
        BadgeCase{"NoPhasePausedFlagOnly", state(std::nullopt, false, true, 0.3), Color::orange,
                  "pause.fill", 0.3, "ResumeDownloadsIntent"},
        BadgeCase{"PresentDownloadingWinsOverCompleted",
                  state(DownloadPhase::downloading, true, false, 0.7), Color::blue, "arrow.down",
                  0.7, "PauseDownloadsIntent"},
        BadgeCase{"CompletedDrawsTheFullArc", state(DownloadPhase::completed, false, false, 0.4),
                  Color::green, "checkmark", 1.0, ""},
        BadgeCase{"QueuedAtZero", state(DownloadPhase::queued, true, false, 0), Color::secondary,
                  "clock", 0, ""},
        BadgeCase{"ImportingBelowZero", state(DownloadPhase::importing, false, false, -0.2),
                  Color::purple, "shippingbox.fill", -0.2, ""},
        BadgeCase{"DownloadingAboveOne", state(DownloadPhase::downloading, false, false, 1.5),
                  Color::blue, "arrow.down", 1.5, "PauseDownloadsIntent"}),
    [](const ::testing::TestParamInfo<BadgeCase>& param) { return std::string(param.param.name); });

// Both rings: a butt-capped track and a round-capped arc of the line width,
// the arc turned so that it starts at the top and runs clockwise, and the
// symbol centred. The badge's symbol is 0.45 of its side; the island's
// rings take theirs from the caller, draw at line width 2, and end the arc at
// the progress even when completed.
TEST(Rings, ArcStartsAtTheTopWithRoundCapsOverAButtCappedTrack) {
  struct Case {
    const char* name;
    View view;
    double side, lineWidth, symbol, arcEnd;
  };
  const ContentState done = state(DownloadPhase::completed, false, false, 0.6);
  const tolvane::DownloadActivityViewContext context{done, {}};
  const Case cases[] = {
      {"lock-screen badge", PhaseBadge(done, 28, 3).body(), 28, 3, 12.6, 1.0},
      {"island badge", PhaseBadge(done, 24, 2).body(), 24, 2, 10.8, 1.0},
      {"compact ring", tolvane::islandRing(context, 20, 10), 20, 2, 10, 0.6},
      {"minimal", tolvane::minimalView(context), 18, 2, 9, 0.6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DrawnRing ring = drawn(c.view, c.side);
    ASSERT_EQ(ring.strokes.size(), 2u);
    const double r = c.side / 2;
    EXPECT_EQ(ring.strokes[0].style, D::StrokeStyle(c.lineWidth, D::LineCap::butt));
    EXPECT_EQ(ring.strokes[1].style, D::StrokeStyle(c.lineWidth, D::LineCap::round));
    EXPECT_EQ(ring.strokes[1].radius, r);
    EXPECT_EQ(ring.strokes[1].trimTo, c.arcEnd);
    // The outline starts at its rightmost point and a quarter later reaches
    // the bottom; turned, those are the top and the right.
    ASSERT_TRUE(ring.arcTurn.has_value());
    const D::Point start = ring.arcTurn->apply({c.side, r});
    const D::Point quarter = ring.arcTurn->apply({r, c.side});
    EXPECT_NEAR(start.x, r, 1e-9);
    EXPECT_NEAR(start.y, 0, 1e-9);
    EXPECT_NEAR(quarter.x, c.side, 1e-9);
    EXPECT_NEAR(quarter.y, r, 1e-9);
    ASSERT_EQ(ring.symbols.size(), 1u);
    EXPECT_NEAR(ring.symbols[0].rect.width, c.symbol, 1e-9);
    EXPECT_NEAR(ring.symbols[0].rect.x, (c.side - c.symbol) / 2, 1e-9);
    EXPECT_EQ(SwiftUI::buttons(c.view).size(), 0u);
  }
}

}  // namespace
