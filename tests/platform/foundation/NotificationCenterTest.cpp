// The notification centre's delivery contract: synchronous on the posting
// thread, filtered by name and sender, and safe to change while delivering.
#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using Foundation::Notification;
using Foundation::NotificationCenter;

TEST(NotificationCenterDelivery, PostCallsObserverBeforeReturningOnThePostingThread) {
  NotificationCenter center;
  std::vector<Notification> seen;
  std::thread::id observedOn;
  center.addObserver("Ping", nullptr, [&](const Notification& n) {
    seen.push_back(n);
    observedOn = std::this_thread::get_id();
  });
  std::thread poster([&] { center.post("Ping"); });
  std::thread::id posterId = poster.get_id();
  poster.join();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(observedOn, posterId);
  EXPECT_EQ(seen[0].name, "Ping");
  EXPECT_EQ(seen[0].object, nullptr);
  EXPECT_FALSE(seen[0].userInfo.has_value());
}

// A name filter sees only its name, compared exactly, and no name sees all;
// a sender filter never sees posts with no object or another object.
TEST(NotificationCenterMatching, ByNameAndBySender) {
  NotificationCenter center;
  int sender = 0, other = 0;
  int pings = 0, all = 0, fromSender = 0;
  center.addObserver("Ping", nullptr, [&](const Notification&) { ++pings; });
  center.addObserver(std::nullopt, nullptr, [&](const Notification&) { ++all; });
  center.addObserver("Ping", &sender, [&](const Notification&) { ++fromSender; });
  center.post("Ping");
  center.post("Ping", &other);
  center.post("Pong", &sender);
  center.post("ping", &sender);
  EXPECT_EQ(fromSender, 0);
  center.post("Ping", &sender);
  EXPECT_EQ(fromSender, 1);
  EXPECT_EQ(pings, 3);
  EXPECT_EQ(all, 5);
}

// An observer may remove itself or a later one while a post is delivered
// (the later one is then skipped), and one added meanwhile waits for the
// next post.
TEST(NotificationCenterRemoval, ObserversChangedDuringDelivery) {
  NotificationCenter center;
  int selfCalls = 0, laterCalls = 0, added = 0;
  std::optional<NotificationCenter::ObserverToken> self, later;
  self = center.addObserver("N", nullptr, [&](const Notification&) {
    ++selfCalls;
    center.removeObserver(*self);
    center.removeObserver(*later);
    center.addObserver("N", nullptr, [&](const Notification&) { ++added; });
  });
  later = center.addObserver("N", nullptr, [&](const Notification&) { ++laterCalls; });
  center.post("N");
  EXPECT_EQ(added, 0);
  center.post("N");
  EXPECT_EQ(selfCalls, 1);
  EXPECT_EQ(laterCalls, 0);
  EXPECT_EQ(added, 1);
}

TEST(NotificationCenterThreads, ConcurrentPostsAddsAndRemovesDeliverEveryPostToAStableObserver) {
  NotificationCenter center;
  std::atomic<int> stable{0};
  center.addObserver("N", nullptr, [&](const Notification&) { stable.fetch_add(1); });
  constexpr int kThreads = 4;
  constexpr int kPosts = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kPosts; ++i) {
        auto token = center.addObserver("N", nullptr, [](const Notification&) {});
        center.post("N");
        center.removeObserver(token);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(stable.load(), kThreads * kPosts);
}

}  // namespace
