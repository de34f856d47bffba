// The clock: "now" is the system time, in seconds since 2001.
#include "platform/foundation/Clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(Clock, NowFollowsTheSystemTimeSince2001) {
  // 2001-01-01T00:00:00Z is 978307200 seconds after the Unix epoch.
  const double unix =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  EXPECT_NEAR(Foundation::currentDate().timeIntervalSinceReferenceDate, unix - 978307200.0, 5.0);
}

}  // namespace
