// The phase badge and the island's rings: what they draw in each effective
// phase, and which intent the badge's button runs.
#include "presentation/PhaseBadge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Layout.h"
#include "presentation/DynamicIslandViews.h"
#include "tests/presentation/PhaseVocabulary.h"
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
  const double progresses[] = {0.42, 1.5, -0.2};
  for (const tolvane::testing::PhaseState& row : tolvane::testing::phaseStates) {
    for (const double progress : progresses) {
      SCOPED_TRACE(row.name() + " at " + std::to_string(progress));
      ContentState state;
      state.overallProgress = progress;
      state = row.applied(state);
      const tolvane::DownloadActivityViewContext context{state, {}, {}};
      const tolvane::testing::PhaseWords& words = tolvane::testing::wordsOf(row.shown);
      const bool done = row.shown == DownloadPhase::completed;
      const struct {
        View view;
        double side, arcEnd;
        std::string intent;
      } rings[] = {
          {tolvane::PhaseBadge(state, 28, 3).body(), 28, done ? 1.0 : progress, words.badgeIntent},
          {tolvane::compactLeadingView(context), 20, progress, ""},
          {tolvane::minimalView(context), 18, progress, ""}};
      for (const auto& [view, side, arcEnd, intent] : rings) {
        const DrawnRing ring = drawn(view, side);
        ASSERT_EQ(ring.strokes.size(), 2u);
        EXPECT_EQ(ring.strokes[0].paint, D::Paint(words.color.opacity(0.3)));
        EXPECT_EQ(ring.strokes[0].trimTo, 1);
        EXPECT_EQ(ring.strokes[1].paint, D::Paint(words.color));
        EXPECT_EQ(ring.strokes[1].trimTo, arcEnd);
        ASSERT_EQ(ring.symbols.size(), 1u);
        EXPECT_EQ(ring.symbols[0].name, words.icon);
        EXPECT_EQ(ring.symbols[0].color, D::Paint(words.color));
        EXPECT_EQ(tolvane::testing::buttonIntent(view), intent);
      }
      EXPECT_EQ(tolvane::testing::buttonIntent(tolvane::compactTrailingView(context)), "");
    }
  }
}

}  // namespace
