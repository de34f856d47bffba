// The host app's serial queue: order, delays, the queue's own thread, and
// going away with jobs still waiting.
#include "hostapp/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
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
}

}  // namespace
