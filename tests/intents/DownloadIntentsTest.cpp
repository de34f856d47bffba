// The pause and resume intents: what a perform posts, where, and how often;
// their titles.
#include <gtest/gtest.h>

#include <latch>
#include <mutex>
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

// Records what the host app's observers see on the default centre. Each
// test runs in its own process, so the default centre starts empty.
struct Recorder {
  struct Delivery {
    Notification notification;
    std::thread::id thread;
  };
  std::mutex mutex;
  std::vector<Delivery> deliveries;  // guarded by mutex

  void observe(const char* name, const void* sender = nullptr) {
    NotificationCenter::defaultCenter().addObserver(name, sender, [this](const Notification& n) {
      std::lock_guard lock(mutex);
      deliveries.push_back({n, std::this_thread::get_id()});
    });
  }
  std::vector<Delivery> snapshot() {
    std::lock_guard lock(mutex);
    return deliveries;
  }
};

// Each intent posts its own name once, with no object and no user info, on
// an executor thread, and returns the empty result.
template <class Intent>
void expectOneBarePost(const char* expectedName) {
  Recorder recorder;
  recorder.observe("PauseDownloads");
  recorder.observe("ResumeDownloads");
  AppIntents::IntentResult result = AppIntents::performIntent(Intent()).get();
  auto seen = recorder.snapshot();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].notification.name, expectedName);
  EXPECT_EQ(seen[0].notification.object, nullptr);
  EXPECT_FALSE(seen[0].notification.userInfo.has_value());
  EXPECT_NE(seen[0].thread, std::this_thread::get_id());
  EXPECT_TRUE(result.isEmpty());
}

TEST(PerformPosts, PauseIntentPostsOneBareNotificationOffTheCallersThread) {
  expectOneBarePost<PauseDownloadsIntent>("PauseDownloads");
}

TEST(PerformPosts, ResumeIntentPostsOneBareNotificationOffTheCallersThread) {
  expectOneBarePost<ResumeDownloadsIntent>("ResumeDownloads");
}

TEST(PerformPosts, TwoPerformsPostTwoNotifications) {
  Recorder recorder;
  recorder.observe("PauseDownloads");
  auto first = AppIntents::performIntent(PauseDownloadsIntent());
  auto second = AppIntents::performIntent(PauseDownloadsIntent());
  first.get();
  second.get();
  EXPECT_EQ(recorder.snapshot().size(), 2u);
}

TEST(PerformPosts, ObserverFilteringOnASenderNeverSeesIt) {
  Recorder filtered;
  Recorder unfiltered;
  int sender = 0;
  filtered.observe("PauseDownloads", &sender);
  filtered.observe("ResumeDownloads", &sender);
  unfiltered.observe("PauseDownloads");
  AppIntents::performIntent(PauseDownloadsIntent()).get();
  AppIntents::performIntent(ResumeDownloadsIntent()).get();
  EXPECT_TRUE(filtered.snapshot().empty());
  EXPECT_EQ(unfiltered.snapshot().size(), 1u);
}

// Many threads read a title for the first time at once: all of them must
// get the one value built (one object), with no data race (run under the
// tsan preset).
template <class Intent>
void expectTitleBuiltOnceUnderConcurrentFirstReads(const char* expected) {
  constexpr int kThreads = 8;
  std::latch start(kThreads);
  std::vector<const Foundation::LocalizedStringResource*> seen(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      seen[i] = &Intent::title();
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto* title : seen) EXPECT_EQ(title, seen[0]);
  // Made from the literal: it is both the key and the default text.
  EXPECT_EQ(seen[0]->key(), expected);
  EXPECT_EQ(seen[0]->localized(), expected);
  EXPECT_FALSE(seen[0]->table().has_value());
}

TEST(IntentTitles, PauseTitleIsBuiltOnceUnderConcurrentFirstReads) {
  expectTitleBuiltOnceUnderConcurrentFirstReads<PauseDownloadsIntent>("Pause Downloads");
}

TEST(IntentTitles, ResumeTitleIsBuiltOnceUnderConcurrentFirstReads) {
  expectTitleBuiltOnceUnderConcurrentFirstReads<ResumeDownloadsIntent>("Resume Downloads");
}

}  // namespace
