// The lock-screen view: which texts it shows in which colour in each
// effective phase, and when the count-down and the bytes show.
#include "presentation/DownloadLiveActivityView.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/foundation/Clock.h"
#include "tests/presentation/ShownViews.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;
using tolvane::ContentState;
using tolvane::DownloadLiveActivityView;
using tolvane::DownloadPhase;
using tolvane::testing::shows;
using tolvane::testing::theOne;

const Date kNow(800'000'000);

// Downloading 2 of 5 at 0.42, 1.5 MB/s, 1 MB of 1.5 GB, due in 65 s. Every
// phase keeps the estimate, so a phase that hides the count-down hides it
// with one given.
ContentState withPhase(std::optional<DownloadPhase> phase, bool isCompleted = false,
                       bool isPaused = false) {
  ContentState s;
  s.currentDownload = 2;
  s.totalDownloads = 5;
  s.overallProgress = 0.42;
  s.appNames = {"Alpha", "Beta"};
  s.totalBytesDownloaded = 1048576;
  s.totalBytesExpected = 1610612736;
  s.bytesPerSecond = 1572864;
  s.estimatedCompletionDate = kNow.addingTimeInterval(65);
  s.phase = phase;
  s.isCompleted = isCompleted;
  s.isPaused = isPaused;
  return s;
}

View lockScreen(const ContentState& state) {
  Foundation::PinnedCurrentDate pin(kNow);
  return DownloadLiveActivityView({state, {}}).body();
}

struct PhaseCase {
  const char* name;
  ContentState state;
  const char* label;
  Color accent;
  bool showsTimer;
  bool showsBytes;
};

void PrintTo(const PhaseCase& c, std::ostream* os) {
  *os << c.name;
}

class LockScreenByPhase : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(LockScreenByPhase, TextsColoursTimerAndBytes) {
  const PhaseCase& c = GetParam();
  const View view = lockScreen(c.state);
  const std::string label = c.label;

  EXPECT_EQ(theOne(view, label + " (2/5)").color, c.accent);
  EXPECT_EQ(theOne(view, "42%").color, c.accent);
  const auto bars = findAll(view, ViewKind::progressView);
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].as<ProgressViewNode>()->value, 0.42);
  EXPECT_EQ(bars[0].modifier<TintModifier>()->color, c.accent);

  // The footer leads with the speed while downloading, else the label.
  const auto lead = theOne(view, label == "Downloading" ? "1.5 MB/s" : label);
  EXPECT_EQ(lead.color, label == "Downloading" ? Color::secondary : c.accent);

  EXPECT_EQ(shows(view, "1:05", kNow), c.showsTimer);
  EXPECT_EQ(shows(view, "clock"), c.showsTimer || label == "Queued");  // the queued badge's symbol
  EXPECT_EQ(shows(view, "1 MB / 1.5 GB"), c.showsBytes);
}

INSTANTIATE_TEST_SUITE_P(
    EffectivePhases, LockScreenByPhase,
    ::testing::Values(PhaseCase{"Downloading", withPhase(DownloadPhase::downloading), "Downloading",
                                Color::blue, true, true},
                      PhaseCase{"Paused", withPhase(DownloadPhase::paused), "Paused", Color::orange,
                                false, true},
                      PhaseCase{"NoPhasePausedFlag", withPhase(std::nullopt, false, true), "Paused",
                                Color::orange, false, true},
                      PhaseCase{"Queued", withPhase(DownloadPhase::queued), "Queued",
                                Color::secondary, false, false},
                      PhaseCase{"Importing", withPhase(DownloadPhase::importing), "Importing",
                                Color::purple, false, false},
                      PhaseCase{"Completed", withPhase(DownloadPhase::completed), "Done",
                                Color::green, false, false}),
    [](const ::testing::TestParamInfo<PhaseCase>& param) { return std::string(param.param.name); });

TEST(LockScreen, TitleIsShortenedAtThirtyFiveCharactersOnOneLine) {
  ContentState s = withPhase(DownloadPhase::downloading);
  s.appNames = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta"};
  const auto titles = textsShowing(lockScreen(s), "Alpha, Beta, Gamma, Delta, Epsilon\u2026");
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].modifier<LineLimitModifier>()->lines, 1);
  s.appNames = {};
  EXPECT_TRUE(shows(lockScreen(s), "Downloads"));
}

TEST(LockScreen, CounterShowsFromTwoDownloadsAsStored) {
  const auto status = [](std::int64_t current, std::int64_t total) {
    ContentState s = withPhase(DownloadPhase::downloading);
    s.currentDownload = current;
    s.totalDownloads = total;
    return lockScreen(s);
  };
  EXPECT_TRUE(shows(status(1, 0), "Downloading"));
  EXPECT_TRUE(shows(status(1, 1), "Downloading"));
  EXPECT_TRUE(shows(status(1, 2), "Downloading (1/2)"));
  EXPECT_TRUE(shows(status(7, 5), "Downloading (7/5)"));
}

TEST(LockScreen, CountDownRunsFromNowAndHidesWhenAbsentOrStale) {
  ContentState s = withPhase(DownloadPhase::downloading);
  const View due = lockScreen(s);
  EXPECT_TRUE(shows(due, "1:05", kNow));
  EXPECT_TRUE(shows(due, "0:35", kNow.addingTimeInterval(30)));  // it counts down by itself

  s.estimatedCompletionDate = kNow;
  EXPECT_TRUE(shows(lockScreen(s), "0:00", kNow));
  s.estimatedCompletionDate = kNow.addingTimeInterval(-1);
  EXPECT_EQ(findAll(lockScreen(s), ViewKind::image).size(), 1u);  // the badge's symbol, no clock
  s.estimatedCompletionDate.reset();
  s.bytesPerSecond = 0;
  const View absent = lockScreen(s);
  EXPECT_EQ(findAll(absent, ViewKind::image).size(), 1u);
  EXPECT_TRUE(shows(absent, "0 KB/s"));
  EXPECT_TRUE(shows(absent, "1 MB / 1.5 GB"));
}

TEST(LockScreen, ZeroExpectedBytesStillShow) {
  ContentState s = withPhase(DownloadPhase::paused);
  s.totalBytesExpected = 0;
  EXPECT_TRUE(shows(lockScreen(s), "1 MB / Zero KB"));
}

}  // namespace
