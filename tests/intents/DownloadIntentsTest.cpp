// The pause and resume intents: what a perform posts, and how often.
#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <vector>

#include "intents/PauseDownloadsIntent.h"
#include "intents/ResumeDownloadsIntent.h"
#include "platform/foundation/NotificationCenter.h"

namespace {

using Foundation::Notification;
using Foundation::NotificationCenter;
using tolvane::PauseDownloadsIntent;
using tolvane::ResumeDownloadsIntent;

// Every notification the default centre delivers while the recorder lives.
struct Recorder {
  std::mutex mutex;
  std::vector<Notification> seen;  // guarded by mutex
  NotificationCenter::ObserverToken token = NotificationCenter::defaultCenter().addObserver(
      std::nullopt, nullptr, [this](const Notification& n) {
        std::lock_guard lock(mutex);
        seen.push_back(n);
      });
  ~Recorder() { NotificationCenter::defaultCenter().removeObserver(token); }
  std::vector<Notification> snapshot() {
    std::lock_guard lock(mutex);
    return seen;
  }
};

// Each perform posts the name the host app observes, once, with no object
// and no user info, and returns the empty result, also when performs
// overlap.
TEST(PerformPosts, EachPerformPostsOneBareNotificationTheHostAppObserves) {
  EXPECT_EQ(PauseDownloadsIntent::title().key(), "Pause Downloads");
  EXPECT_EQ(ResumeDownloadsIntent::title().key(), "Resume Downloads");
  const Notification pause{"PauseDownloads", nullptr, std::nullopt};
  const Notification resume{"ResumeDownloads", nullptr, std::nullopt};
  {
    Recorder recorder;
    EXPECT_TRUE(AppIntents::performIntent(PauseDownloadsIntent()).get().isEmpty());
    EXPECT_EQ(recorder.snapshot(), std::vector{pause});
  }
  {
    Recorder recorder;
    EXPECT_TRUE(AppIntents::performIntent(ResumeDownloadsIntent()).get().isEmpty());
    EXPECT_EQ(recorder.snapshot(), std::vector{resume});
  }
  Recorder all;
  auto first = AppIntents::performIntent(PauseDownloadsIntent());
  auto second = AppIntents::performIntent(PauseDownloadsIntent());
  auto third = AppIntents::performIntent(ResumeDownloadsIntent());
  first.get();
  second.get();
  third.get();
  EXPECT_EQ(all.snapshot().size(), 3u);
}

}  // namespace
