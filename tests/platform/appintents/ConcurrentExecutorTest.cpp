// The shared executor runs work off the caller's thread and hands results
// and failures back through futures; AnyAppIntent wraps intents as values.
#include "platform/appintents/ConcurrentExecutor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <stdexcept>

#include "platform/appintents/AppIntent.h"

namespace {

using AppIntents::ConcurrentExecutor;
using AppIntents::IntentResult;

TEST(ConcurrentExecutor, ExceptionReachesTheWaitingCaller) {
  auto future = ConcurrentExecutor::shared().submit([]() -> int { throw std::runtime_error("x"); });
  EXPECT_THROW(future.get(), std::runtime_error);
}

TEST(ConcurrentExecutor, RunsJobsConcurrently) {
  // Two jobs that each wait for the other can only finish when both run at
  // once.
  ConcurrentExecutor executor(2);
  std::latch both(2);
  auto a = executor.submit([&] {
    both.arrive_and_wait();
    return 1;
  });
  auto b = executor.submit([&] {
    both.arrive_and_wait();
    return 2;
  });
  EXPECT_EQ(a.get() + b.get(), 3);
}

TEST(ConcurrentExecutor, DestructionRunsQueuedJobsFirst) {
  std::atomic<int> ran{0};
  {
    ConcurrentExecutor executor(1);
    for (int i = 0; i < 50; ++i) executor.enqueue([&] { ran.fetch_add(1); });
  }
  EXPECT_EQ(ran.load(), 50);
}

// Two intents for the type-erasure checks; only the first is a live-activity
// intent.
struct FirstIntent : AppIntents::LiveActivityIntentConformance {
  static constexpr std::string_view typeName = "FirstIntent";
  static const Foundation::LocalizedStringResource& title() {
    static const Foundation::LocalizedStringResource value("First");
    return value;
  }
  IntentResult perform() const { return IntentResult::result(); }
  friend bool operator==(const FirstIntent&, const FirstIntent&) = default;
};
struct SecondIntent {
  int parameter = 0;
  static constexpr std::string_view typeName = "SecondIntent";
  static const Foundation::LocalizedStringResource& title() { return FirstIntent::title(); }
  IntentResult perform() const { return IntentResult::result(); }
  friend bool operator==(const SecondIntent&, const SecondIntent&) = default;
};
struct NotAnIntent {
  static constexpr std::string_view typeName = "NotAnIntent";
};

static_assert(AppIntents::AppIntent<SecondIntent> && !AppIntents::LiveActivityIntent<SecondIntent>);
static_assert(!std::is_constructible_v<AppIntents::AnyAppIntent, NotAnIntent>);

TEST(AnyAppIntent, KeepsTypeNameTitleAndEquality) {
  AppIntents::AnyAppIntent first = FirstIntent{};
  AppIntents::AnyAppIntent second = SecondIntent{};
  EXPECT_EQ(first.typeName(), "FirstIntent");
  EXPECT_EQ(first.title().key(), "First");
  EXPECT_EQ(first, AppIntents::AnyAppIntent(FirstIntent{}));
  EXPECT_NE(first, second);
  EXPECT_NE(second, AppIntents::AnyAppIntent(SecondIntent{.parameter = 1}));
  ASSERT_NE(second.as<SecondIntent>(), nullptr);
  EXPECT_EQ(first.as<SecondIntent>(), nullptr);
}

}  // namespace
