// The phase badge and the island's rings: what they draw in each effective
// phase, and which intent the badge's button runs.
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
namespace D = SwiftUI::Drawing;

// The ring as drawn in a square of `side`: its strokes (track, then arc) and
// its symbols.
struct DrawnRing {
  std::vector<D::StrokeCircle> strokes;
  std::vector<D::DrawSymbol> symbols;
};

DrawnRing drawn(const View& view, double side) {
  D::FixedMetricsTextMeasurer measurer;
  LayoutEngine engine(measurer);
  DrawnRing ring;
  for (const D::DrawCommand& command : drawCommands(engine.layout(view, {side, side}))) {
    if (const auto* c = std::get_if<D::StrokeCircle>(&command)) ring.strokes.push_back(*c);
    if (const auto* s = std::get_if<D::DrawSymbol>(&command)) ring.symbols.push_back(*s);
  }
  return ring;
}

// The badge and the island's compact and minimal rings draw a faint full track, an arc and the
// phase's symbol, all in the phase colour. The badge fills its arc once done
// and is the only one that is a button; the island's rings end the arc at
// the progress, as given (the renderer clamps).
TEST(Rings, DrawInThePhaseColourAndOnlyTheBadgeRunsAnIntent) {
  struct Case {
    std::optional<DownloadPhase> phase;
    bool isCompleted, isPaused;
    double progress;
    Color color;
    const char* icon;
    const char* intent;  // "": the badge is no button
  };
  const Case cases[] = {
      {std::nullopt, false, false, 0.42, Color::blue, "arrow.down", "PauseDownloadsIntent"},
      {std::nullopt, false, true, 0.3, Color::orange, "pause.fill", "ResumeDownloadsIntent"},
      {std::nullopt, true, true, 0.4, Color::green, "checkmark", ""},
      {DownloadPhase::downloading, true, false, 1.5, Color::blue, "arrow.down",
       "PauseDownloadsIntent"},
      {DownloadPhase::paused, false, false, 0.7, Color::orange, "pause.fill",
       "ResumeDownloadsIntent"},
      {DownloadPhase::completed, false, false, 0.6, Color::green, "checkmark", ""},
      {DownloadPhase::queued, true, false, 0, Color::secondary, "clock", ""},
      {DownloadPhase::importing, false, true, -0.2, Color::purple, "shippingbox.fill", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.icon + std::string(c.isCompleted ? " completed-flag" : "") +
                 (c.isPaused ? " paused-flag" : ""));
    ContentState state;
    state.phase = c.phase;
    state.isCompleted = c.isCompleted;
    state.isPaused = c.isPaused;
    state.overallProgress = c.progress;
    const tolvane::DownloadActivityViewContext context{state, {}, {}};
    const bool done = c.color == Color::green;
    const struct {
      View view;
      double side, arcEnd;
      std::string intent;
    } rings[] = {{tolvane::PhaseBadge(state, 28, 3).body(), 28, done ? 1.0 : c.progress, c.intent},
                 {tolvane::compactLeadingView(context), 20, c.progress, ""},
                 {tolvane::minimalView(context), 18, c.progress, ""}};
    for (const auto& [view, side, arcEnd, intent] : rings) {
      const DrawnRing ring = drawn(view, side);
      ASSERT_EQ(ring.strokes.size(), 2u);
      EXPECT_EQ(ring.strokes[0].paint, D::Paint(c.color.opacity(0.3)));
      EXPECT_EQ(ring.strokes[0].trimTo, 1);
      EXPECT_EQ(ring.strokes[1].paint, D::Paint(c.color));
      EXPECT_EQ(ring.strokes[1].trimTo, arcEnd);
      ASSERT_EQ(ring.symbols.size(), 1u);
      EXPECT_EQ(ring.symbols[0].name, c.icon);
      EXPECT_EQ(ring.symbols[0].color, D::Paint(c.color));
      EXPECT_EQ(tolvane::testing::buttonIntent(view), intent);
    }
    EXPECT_EQ(tolvane::testing::buttonIntent(tolvane::compactTrailingView(context)), "");
  }
}

}  // namespace
