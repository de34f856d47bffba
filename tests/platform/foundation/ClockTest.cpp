// The clock seam: "now" follows the system clock unless pinned.
#include "platform/foundation/Clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(Clock, PinnedNowNestsAndOnReleaseFollowsTheSystemTimeSince2001) {
  {
    Foundation::PinnedCurrentDate outer(Foundation::Date(1000));
    {
      Foundation::PinnedCurrentDate inner(Foundation::Date(2000));
      EXPECT_EQ(Foundation::currentDate(), Foundation::Date(2000));
    }
    EXPECT_EQ(Foundation::currentDate(), Foundation::Date(1000));
  }
  // 2001-01-01T00:00:00Z is 978307200 seconds after the Unix epoch.
  const double unix =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  EXPECT_NEAR(Foundation::currentDate().timeIntervalSinceReferenceDate, unix - 978307200.0, 5.0);
}

}  // namespace
