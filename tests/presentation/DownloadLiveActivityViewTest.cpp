// The lock-screen view: which texts appear with which colour, font and
// weight in each effective phase, when the count-down and the bytes show,
// and that its badge is the activity's control.
#include "presentation/DownloadLiveActivityView.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>

#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Tap.h"
#include "platform/ui/ViewQuery.h"
#include "presentation/PhaseBadge.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;
using tolvane::ContentState;
using tolvane::DownloadLiveActivityView;
using tolvane::DownloadPhase;

const Date kNow(800'000'000);

ContentState downloadingState() {
  ContentState s;
  s.currentDownload = 2;
  s.totalDownloads = 5;
  s.overallProgress = 0.42;
  s.currentFileName = "Alpha.ipa";
  s.appNames = {"Alpha", "Beta"};
  s.totalBytesDownloaded = 1048576;    // 1 MB
  s.totalBytesExpected = 1610612736;   // 1.5 GB
  s.bytesPerSecond = 1572864;          // 1.5 MB/s
  s.lastUpdateTime = kNow;
  s.estimatedCompletionDate = kNow.addingTimeInterval(65);
  s.phase = DownloadPhase::downloading;
  return s;
}

// The downloading state with other phase fields; it keeps its completion
// estimate, so every phase that hides the count-down hides it with one given.
ContentState withPhase(std::optional<DownloadPhase> phase, bool isCompleted = false,
                       bool isPaused = false) {
  ContentState s = downloadingState();
  s.phase = phase;
  s.isCompleted = isCompleted;
  s.isPaused = isPaused;
  return s;
}

// The parts of the lock-screen tree, found by their place in it.
struct LockScreen {
  View root, header, badge, title, status, percentage, bar, footer, lead;
  std::optional<View> timeGroup;
  std::optional<View> bytes;

  explicit LockScreen(const ContentState& state) {
    Foundation::PinnedCurrentDate pin(kNow);
    root = DownloadLiveActivityView({state, {}}).body();
    header = root.children().at(0);
    badge = header.children().at(0);
    View column = header.children().at(1);
    title = column.children().at(0);
    status = column.children().at(1);
    percentage = header.children().at(3);
    View block = root.children().at(1);
    bar = block.children().at(0);
    footer = block.children().at(1);
    lead = footer.children().at(0);
    // Lead, Spacer, [time group], Spacer, [bytes].
    for (std::size_t i = 1; i < footer.children().size(); ++i) {
      const View& child = footer.children()[i];
      if (child.kind() == ViewKind::hstack) timeGroup = child;
      if (child.kind() == ViewKind::text) bytes = child;
    }
  }
};

std::optional<Color> foreground(const View& view) {
  const auto* m = view.modifier<ForegroundColorModifier>();
  return m ? std::optional(m->color) : std::nullopt;
}
std::optional<Font> font(const View& view) {
  const auto* m = view.modifier<FontModifier>();
  return m ? std::optional(m->font) : std::nullopt;
}
std::optional<Font::Weight> weight(const View& view) {
  const auto* m = view.modifier<FontWeightModifier>();
  return m ? std::optional(m->weight) : std::nullopt;
}

// One row of the branch table: what each effective phase shows.
struct PhaseCase {
  const char* name;
  ContentState state;
  const char* label;
  Color accent;
  bool showsTimer;
  bool showsBytes;
};

void PrintTo(const PhaseCase& c, std::ostream* os) { *os << c.name; }

class LockScreenByPhase : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(LockScreenByPhase, HeaderTextsCarryTheAccentColour) {
  const PhaseCase& c = GetParam();
  LockScreen view(c.state);
  EXPECT_EQ(textOf(view.status), std::string(c.label) + " (2/5)");
  EXPECT_EQ(foreground(view.status), c.accent);
  EXPECT_EQ(font(view.status), Font::caption);
  EXPECT_EQ(weight(view.status), std::nullopt);

  EXPECT_EQ(textOf(view.percentage), "42%");
  EXPECT_EQ(view.percentage.as<TextNode>()->kind(), TextNode::Kind::localized);
  EXPECT_EQ(font(view.percentage), Font::title3);
  EXPECT_EQ(weight(view.percentage), Font::Weight::bold);
  EXPECT_EQ(foreground(view.percentage), c.accent);

  EXPECT_EQ(view.bar.as<ProgressViewNode>()->value, 0.42);
  EXPECT_EQ(view.bar.as<ProgressViewNode>()->total, 1.0);
  EXPECT_EQ(view.bar.modifiers(), std::vector<Modifier>{TintModifier{c.accent}});
}

TEST_P(LockScreenByPhase, FooterLeadTimerAndBytes) {
  const PhaseCase& c = GetParam();
  LockScreen view(c.state);
  bool downloading = std::string(c.label) == "Downloading";
  if (downloading) {
    EXPECT_EQ(textOf(view.lead), "1.5 MB/s");
    EXPECT_EQ(foreground(view.lead), Color::secondary);
    EXPECT_EQ(weight(view.lead), std::nullopt);
  } else {
    EXPECT_EQ(textOf(view.lead), c.label);
    EXPECT_EQ(foreground(view.lead), c.accent);
    EXPECT_EQ(weight(view.lead), Font::Weight::semibold);
  }
  EXPECT_EQ(view.lead.as<TextNode>()->kind(), TextNode::Kind::verbatim);
  EXPECT_EQ(font(view.lead), Font::caption2);

  EXPECT_EQ(view.timeGroup.has_value(), c.showsTimer);
  EXPECT_EQ(view.bytes.has_value(), c.showsBytes);
  // Lead, Spacer, time group, Spacer, bytes; absent parts take no place.
  EXPECT_EQ(view.footer.children().size(), 3u + c.showsTimer + c.showsBytes);
  if (c.showsBytes) {
    EXPECT_EQ(textOf(*view.bytes), "1 MB / 1.5 GB");
    EXPECT_EQ(view.bytes->as<TextNode>()->kind(), TextNode::Kind::localized);
    EXPECT_EQ(font(*view.bytes), Font::caption2);
    EXPECT_EQ(foreground(*view.bytes), Color::secondary);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EffectivePhases, LockScreenByPhase,
    ::testing::Values(
        PhaseCase{"Downloading", withPhase(DownloadPhase::downloading), "Downloading",
                  Color::blue, true, true},
        PhaseCase{"NoPhaseNoFlags", withPhase(std::nullopt), "Downloading", Color::blue, true,
                  true},
        PhaseCase{"Paused", withPhase(DownloadPhase::paused), "Paused", Color::orange, false,
                  true},
        PhaseCase{"NoPhasePausedFlag", withPhase(std::nullopt, false, true), "Paused",
                  Color::orange, false, true},
        PhaseCase{"Queued", withPhase(DownloadPhase::queued), "Queued", Color::secondary, false,
                  false},
        PhaseCase{"Importing", withPhase(DownloadPhase::importing), "Importing", Color::purple,
                  false, false},
        PhaseCase{"Completed", withPhase(DownloadPhase::completed), "Done", Color::green, false,
                  false},
        PhaseCase{"NoPhaseCompletionWinsOverPause", withPhase(std::nullopt, true, true), "Done",
                  Color::green, false, false},
        PhaseCase{"PresentPhaseWinsOverFlags", withPhase(DownloadPhase::downloading, true, true),
                  "Downloading", Color::blue, true, true}),
    [](const ::testing::TestParamInfo<PhaseCase>& param) { return std::string(param.param.name); });

TEST(LockScreenTitle, AppNamesOnOneBoldLineCutAtTheTail) {
  ContentState s = downloadingState();
  s.appNames = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta"};
  LockScreen view(s);
  // Names joined while within 35 characters, then the ellipsis.
  EXPECT_EQ(textOf(view.title), "Alpha, Beta, Gamma, Delta, Epsilon\u2026");
  EXPECT_EQ(view.title.as<TextNode>()->kind(), TextNode::Kind::verbatim);
  EXPECT_EQ(view.title.modifiers(),
            (std::vector<Modifier>{FontModifier{Font::subheadline},
                                   FontWeightModifier{Font::Weight::bold}, LineLimitModifier{1},
                                   TruncationModeModifier{TruncationMode::tail}}));
  s.appNames = {};
  EXPECT_EQ(textOf(LockScreen(s).title), "Downloads");
}

TEST(LockScreenStatus, CounterShowsFromTwoDownloadsAsStored) {
  auto status = [](std::int64_t current, std::int64_t total) {
    ContentState s = downloadingState();
    s.currentDownload = current;
    s.totalDownloads = total;
    return textOf(LockScreen(s).status);
  };
  EXPECT_EQ(status(1, 0), "Downloading");
  EXPECT_EQ(status(1, 1), "Downloading");
  EXPECT_EQ(status(1, 2), "Downloading (1/2)");
  EXPECT_EQ(status(7, 5), "Downloading (7/5)");
}

TEST(LockScreenPercentage, TruncatesAndPassesTheRawValueToTheBar) {
  ContentState s = downloadingState();
  s.overallProgress = 0.29;
  LockScreen view(s);
  EXPECT_EQ(textOf(view.percentage), "28%");
  EXPECT_EQ(view.bar.as<ProgressViewNode>()->value, 0.29);
}

TEST(LockScreenTimer, CountsDownFromNowToTheEstimate) {
  LockScreen view(downloadingState());  // estimate 65 s after now
  ASSERT_TRUE(view.timeGroup.has_value());
  const View& group = *view.timeGroup;
  EXPECT_EQ(group.as<HStackNode>()->spacing, 3);
  EXPECT_EQ(group.modifiers(), (std::vector<Modifier>{FontModifier{Font::caption2},
                                                       ForegroundColorModifier{Color::secondary}}));
  ASSERT_EQ(group.children().size(), 2u);
  EXPECT_EQ(group.children()[0].as<ImageNode>()->systemName, "clock");
  const auto* timer = std::get_if<TextNode::Timer>(&group.children()[1].as<TextNode>()->content);
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval.lowerBound, kNow);
  EXPECT_EQ(timer->interval.upperBound, kNow.addingTimeInterval(65));
  EXPECT_FALSE(timer->pauseTime.has_value());
  EXPECT_TRUE(timer->countsDown);
  EXPECT_TRUE(timer->showsHours);
  EXPECT_EQ(textOf(group.children()[1], kNow), "1:05");
}

TEST(LockScreenTimer, HiddenWithoutAnEstimateOrWithAStaleOneShownAtZeroWhenDue) {
  ContentState s = downloadingState();
  s.estimatedCompletionDate.reset();
  s.bytesPerSecond = 0;
  LockScreen absent(s);
  EXPECT_FALSE(absent.timeGroup.has_value());
  EXPECT_EQ(textOf(absent.lead), "0 KB/s");
  EXPECT_TRUE(absent.bytes.has_value());

  s.estimatedCompletionDate = kNow.addingTimeInterval(-1);
  EXPECT_FALSE(LockScreen(s).timeGroup.has_value());

  s.estimatedCompletionDate = kNow;
  LockScreen due(s);
  ASSERT_TRUE(due.timeGroup.has_value());
  EXPECT_EQ(textOf(due.timeGroup->children()[1], kNow), "0:00");
}

TEST(LockScreenBytes, ZeroExpectedStillShows) {
  ContentState s = withPhase(DownloadPhase::paused);
  s.totalBytesExpected = 0;
  LockScreen view(s);
  ASSERT_TRUE(view.bytes.has_value());
  EXPECT_EQ(textOf(*view.bytes), "1 MB / Zero KB");
}

TEST(LockScreenBadge, IsThePhaseBadgeAtSize28AndLineWidth3) {
  ContentState s = downloadingState();
  LockScreen view(s);
  EXPECT_EQ(view.badge, View(tolvane::PhaseBadge(s, 28, 3)));
}

TEST(LockScreenControl, TheOnlyButtonPausesThenTheNextStateOffersResume) {
  std::atomic<int> pauses{0};
  Foundation::NotificationCenter::defaultCenter().addObserver(
      "PauseDownloads", nullptr, [&](const auto&) { pauses.fetch_add(1); });

  auto found = buttons(LockScreen(downloadingState()).root);
  ASSERT_EQ(found.size(), 1u);
  tap(found[0])->get();
  EXPECT_EQ(pauses.load(), 1);

  auto next = buttons(LockScreen(withPhase(DownloadPhase::paused)).root);
  ASSERT_EQ(next.size(), 1u);
  EXPECT_EQ(next[0].as<ButtonNode>()->intent.typeName(), "ResumeDownloadsIntent");
  EXPECT_TRUE(buttons(LockScreen(withPhase(DownloadPhase::importing)).root).empty());
}

}  // namespace
