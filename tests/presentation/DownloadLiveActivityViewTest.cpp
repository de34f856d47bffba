// The lock-screen view: which texts it shows in which colour in each
// effective phase, and when the count-down and the bytes show.
#include "presentation/DownloadLiveActivityView.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/foundation/Clock.h"
#include "tests/presentation/PhaseVocabulary.h"
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
ContentState withPhase(std::optional<DownloadPhase> phase) {
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
  return s;
}

View lockScreen(const ContentState& state) {
  return tolvane::DownloadLiveActivityView({state, {}, kNow}).body();
}

TEST(LockScreen, TextsColoursTimerAndBytesFollowTheEffectivePhase) {
  for (const tolvane::testing::PhaseState& row : tolvane::testing::phaseStates) {
    SCOPED_TRACE(row.name());
    const tolvane::testing::PhaseWords& words = tolvane::testing::wordsOf(row.shown);
    const std::string label = words.label;
    const View view = lockScreen(row.applied(withPhase(std::nullopt)));
    EXPECT_EQ(theOne(view, label + " (2/5)").color, words.color);
    EXPECT_EQ(theOne(view, "42%").color, words.color);
    const auto bars = findAll(view, ViewKind::progressView);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].as<ProgressViewNode>()->value, 0.42);
    EXPECT_EQ(bars[0].modifier<TintModifier>()->color, words.color);
    // The footer leads with the speed while downloading, else the label;
    // only then does the count-down show.
    const bool downloading = row.shown == DownloadPhase::downloading;
    EXPECT_EQ(theOne(view, downloading ? "1.5 MB/s" : label).color,
              downloading ? Color::secondary : words.color);
    EXPECT_EQ(shows(view, "1:05", kNow), downloading);
    EXPECT_EQ(theOne(view, words.icon).color, words.color);  // the badge's symbol
    EXPECT_EQ(shows(view, "clock"), downloading || row.shown == DownloadPhase::queued);
    EXPECT_EQ(shows(view, "1 MB / 1.5 GB"), words.showsBytes);
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
