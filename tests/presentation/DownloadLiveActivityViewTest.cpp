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
using tolvane::DownloadPhase;
using tolvane::testing::shows;
using tolvane::testing::theOne;

const Date kNow(800'000'000);

// Downloading 2 of 5 at 0.42, 1.5 MB/s, 1 MB of 1.5 GB, due in 65 s. Every
// phase keeps the estimate, so a phase that hides the count-down hides it
// with one given.
ContentState withPhase(std::optional<DownloadPhase> phase, bool isPaused = false) {
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
  s.isPaused = isPaused;
  return s;
}

View lockScreen(const ContentState& state) {
  return tolvane::DownloadLiveActivityView({state, {}, kNow}).body();
}

TEST(LockScreen, TextsColoursTimerAndBytesFollowTheEffectivePhase) {
  struct Case {
    ContentState state;
    std::string label;
    Color accent;
    bool showsTimer, showsBytes;
  };
  const Case cases[] = {
      {withPhase(DownloadPhase::downloading), "Downloading", Color::blue, true, true},
      {withPhase(DownloadPhase::paused), "Paused", Color::orange, false, true},
      {withPhase(std::nullopt, true), "Paused", Color::orange, false, true},
      {withPhase(DownloadPhase::queued), "Queued", Color::secondary, false, false},
      {withPhase(DownloadPhase::importing), "Importing", Color::purple, false, false},
      {withPhase(DownloadPhase::completed), "Done", Color::green, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const View view = lockScreen(c.state);
    EXPECT_EQ(theOne(view, c.label + " (2/5)").color, c.accent);
    EXPECT_EQ(theOne(view, "42%").color, c.accent);
    const auto bars = findAll(view, ViewKind::progressView);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].as<ProgressViewNode>()->value, 0.42);
    EXPECT_EQ(bars[0].modifier<TintModifier>()->color, c.accent);
    // The footer leads with the speed while downloading, else the label.
    const bool downloading = c.label == "Downloading";
    EXPECT_EQ(theOne(view, downloading ? "1.5 MB/s" : c.label).color,
              downloading ? Color::secondary : c.accent);
    EXPECT_EQ(shows(view, "1:05", kNow), c.showsTimer);
    EXPECT_EQ(shows(view, "clock"), c.showsTimer || c.label == "Queued");  // the badge's symbol
    EXPECT_EQ(shows(view, "1 MB / 1.5 GB"), c.showsBytes);
  }
}

TEST(LockScreen, TitleCounterAndByteCountsAsShown) {
  ContentState s = withPhase(DownloadPhase::downloading);
  s.appNames = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta"};
  EXPECT_TRUE(shows(lockScreen(s), "Alpha, Beta, Gamma, Delta, Epsilon\u2026"));
  s.appNames = {};
  EXPECT_TRUE(shows(lockScreen(s), "Downloads"));

  // The counter shows from two downloads on, as stored.
  const std::tuple<std::int64_t, std::int64_t, const char*> counters[] = {
      {1, 0, "Downloading"}, {1, 1, "Downloading"}, {7, 5, "Downloading (7/5)"}};
  for (const auto& [current, total, text] : counters) {
    s.currentDownload = current;
    s.totalDownloads = total;
    EXPECT_TRUE(shows(lockScreen(s), text)) << text;
  }

  s = withPhase(DownloadPhase::paused);
  s.totalBytesExpected = 0;
  EXPECT_TRUE(shows(lockScreen(s), "1 MB / Zero KB"));
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

}  // namespace
