// The clock seam: "now" follows the system clock unless pinned.
#include "platform/foundation/Clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(Clock, UnpinnedNowIsTheSystemTimeSince2001) {
  // 2001-01-01T00:00:00Z is 978307200 seconds after the Unix epoch.
  double unix =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  double expected = unix - 978307200.0;
  EXPECT_NEAR(Foundation::currentDate().timeIntervalSinceReferenceDate, expected, 5.0);
}

TEST(Clock, PinnedNowHoldsUntilReleasedAndNests) {
  {
    Foundation::PinnedCurrentDate outer(Foundation::Date(1000));
    EXPECT_EQ(Foundation::currentDate(), Foundation::Date(1000));
    {
      Foundation::PinnedCurrentDate inner(Foundation::Date(2000));
      EXPECT_EQ(Foundation::currentDate(), Foundation::Date(2000));
    }
    EXPECT_EQ(Foundation::currentDate(), Foundation::Date(1000));
  }
  EXPECT_GT(Foundation::currentDate().timeIntervalSinceReferenceDate, 7.0e8);
}

}  // namespace
