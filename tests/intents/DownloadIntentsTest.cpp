// The pause and resume intents: what a perform posts, where, and how often.
#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "intents/PauseDownloadsIntent.h"
#include "intents/ResumeDownloadsIntent.h"
#include "platform/foundation/NotificationCenter.h"

namespace {

using Foundation::Notification;
using Foundation::NotificationCenter;
using tolvane::PauseDownloadsIntent;
using tolvane::ResumeDownloadsIntent;

// Records every notification the default centre delivers, and on which
// thread, while it lives.
struct Recorder {
  struct Delivery {
    Notification notification;
    std::thread::id thread;
  };
  std::mutex mutex;
  std::vector<Delivery> deliveries;  // guarded by mutex
  NotificationCenter::ObserverToken token;

  Recorder()
      : token(NotificationCenter::defaultCenter().addObserver(
            std::nullopt, nullptr, [this](const Notification& n) {
              std::lock_guard lock(mutex);
              deliveries.push_back({n, std::this_thread::get_id()});
            })) {}
  ~Recorder() { NotificationCenter::defaultCenter().removeObserver(token); }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;
  std::vector<Delivery> snapshot() {
    std::lock_guard lock(mutex);
    return deliveries;
  }
};

// Each intent posts the name the host app observes, once, with no object and
// no user info, on an executor thread, and returns the empty result.
template <class Intent>
void expectOneBarePost(const std::string& hostAppObserves) {
  EXPECT_EQ(Intent::notificationName, hostAppObserves);
  Recorder recorder;
  const AppIntents::IntentResult result = AppIntents::performIntent(Intent()).get();
  const auto seen = recorder.snapshot();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].notification, (Notification{hostAppObserves, nullptr, std::nullopt}));
  EXPECT_NE(seen[0].thread, std::this_thread::get_id());
  EXPECT_TRUE(result.isEmpty());
}

TEST(PerformPosts, EachIntentPostsOneBareNotificationOffTheCallersThread) {
  expectOneBarePost<PauseDownloadsIntent>("PauseDownloads");
  expectOneBarePost<ResumeDownloadsIntent>("ResumeDownloads");
  EXPECT_EQ(PauseDownloadsIntent::title().key(), "Pause Downloads");
  EXPECT_EQ(ResumeDownloadsIntent::title().key(), "Resume Downloads");
}

TEST(PerformPosts, EveryPerformPosts) {
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
