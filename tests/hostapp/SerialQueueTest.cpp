// The host app's serial queue: order, delays, the queue's own thread, and
// going away with jobs still waiting.
#include "hostapp/SerialQueue.h"

#include <gtest/gtest.h>

#include <cmath>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using tolvane::SerialQueue;

TEST(SerialQueue, RunsJobsOneAtATimeInTheOrderTheyFallDueOnItsOwnThread) {
  SerialQueue queue;
  std::string order;
  bool onQueue = true;
  queue.asyncAfter(30ms, [&] { order += 'c'; });
  queue.async([&] { order += 'a'; });
  queue.async([&] {
    order += 'b';
    onQueue = onQueue && queue.isCurrent();
  });
  std::this_thread::sleep_for(60ms);
  queue.sync([&] { order += 'd'; });
  EXPECT_EQ(order, "abcd");
  EXPECT_TRUE(onQueue);
  EXPECT_FALSE(queue.isCurrent());
}

TEST(SerialQueue, GoingAwayDropsTheJobsNotYetDueAndWaitsForTheRunningOne) {
  std::atomic<int> ran{0};
  std::promise<void> started;
  {
    SerialQueue queue;
    queue.async([&] {
      started.set_value();
      std::this_thread::sleep_for(20ms);
      ++ran;
    });
    queue.asyncAfter(10s, [&] { ran += 100; });
    started.get_future().wait();  // the first job is running, the second waits
  }
  EXPECT_EQ(ran, 1);

  // A wait longer than the clock can hold waits to its end, rather than
  // wrapping round into the past.
  SerialQueue queue;
  queue.asyncAfter(SerialQueue::Clock::duration::max(), [&] { ran += 1000; });
  queue.sync([] {});
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(SerialQueue::duration(1e300), SerialQueue::Clock::duration::max());
  EXPECT_EQ(SerialQueue::duration(std::nan("")), SerialQueue::Clock::duration::zero());
  EXPECT_EQ(SerialQueue::duration(1.5), 1500ms);
}

}  // namespace
