// What texts show: localizable keys built from interpolations, and the
// count-down timer's m:ss and h:mm:ss forms.
#include <gtest/gtest.h>

#include "platform/ui/ViewQuery.h"
#include "platform/ui/Views.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;

TEST(LocalizedKey, InterpolationBuildsTheFormatTheWayLiteralsDo) {
  // A percentage: an integer argument then a literal percent sign.
  auto percent = LocalizedStringKey::interpolated({"", std::int64_t{42}, "%"});
  EXPECT_EQ(percent.key(), "%lld%%");
  EXPECT_EQ(percent.resolved(), "42%");
  // Two text arguments around a literal.
  auto bytes =
      LocalizedStringKey::interpolated({"", std::string("1 MB"), " / ", std::string("2 MB"), ""});
  EXPECT_EQ(bytes.key(), "%@ / %@");
  EXPECT_EQ(bytes.resolved(), "1 MB / 2 MB");
  // Texts and integers mixed, with non-ASCII literals between them.
  auto mixed =
      LocalizedStringKey::interpolated({"", std::string("Box"), " ", std::int64_t{50}, "% \u2022 ",
                                        std::int64_t{3}, "/", std::int64_t{7}, ""});
  EXPECT_EQ(mixed.key(), "%@ %lld%% \u2022 %lld/%lld");
  EXPECT_EQ(mixed.resolved(), "Box 50% \u2022 3/7");
}

// Count-down readings, from the platform's documented table.
struct TimerCase {
  double remaining;
  const char* withHours;
  const char* withoutHours;
};

void PrintTo(const TimerCase& c, std::ostream* os) {
  *os << c.remaining << " s";
}

class CountDown : public ::testing::TestWithParam<TimerCase> {};

TEST_P(CountDown, ShowsTheTimeLeftToTheUpperBound) {
  const TimerCase& c = GetParam();
  Date now(800'000'000);
  Date end = now.addingTimeInterval(c.remaining);
  EXPECT_EQ(textOf(Text(TimerInterval{now, end}, std::nullopt, true, true), now), c.withHours);
  EXPECT_EQ(textOf(Text(TimerInterval{now, end}, std::nullopt, true, false), now), c.withoutHours);
}

INSTANTIATE_TEST_SUITE_P(PlatformTable, CountDown,
                         ::testing::Values(TimerCase{5, "0:05", "0:05"},
                                           TimerCase{65, "1:05", "1:05"},
                                           TimerCase{59 * 60 + 5, "59:05", "59:05"},
                                           TimerCase{3600 + 2 * 60 + 3, "1:02:03", "62:03"},
                                           TimerCase{0, "0:00", "0:00"}),
                         [](const ::testing::TestParamInfo<TimerCase>& param) {
                           return "remaining" +
                                  std::to_string(static_cast<int>(param.param.remaining));
                         });

TEST(CountDownReading, FollowsNowWithinTheInterval) {
  Date start(1000);
  Text timer(TimerInterval{start, start.addingTimeInterval(600)}, std::nullopt, true, true);
  EXPECT_EQ(textOf(timer, start.addingTimeInterval(15)), "9:45");
  // Before the interval it stands at its full length, after it at zero.
  EXPECT_EQ(textOf(timer, start.addingTimeInterval(-30)), "10:00");
  EXPECT_EQ(textOf(timer, start.addingTimeInterval(700)), "0:00");
  // A part second left still shows as a second, so 0:00 means the end.
  EXPECT_EQ(textOf(timer, start.addingTimeInterval(599.5)), "0:01");
}

TEST(CountDownReading, PauseTimeHoldsTheReading) {
  Date start(1000);
  Text paused(TimerInterval{start, start.addingTimeInterval(600)}, start.addingTimeInterval(60),
              true, true);
  EXPECT_EQ(textOf(paused, start.addingTimeInterval(300)), "9:00");
}

TEST(CountUpReading, ShowsTheTimeSinceTheLowerBound) {
  Date start(1000);
  Text up(TimerInterval{start, start.addingTimeInterval(7200)}, std::nullopt, false, true);
  EXPECT_EQ(textOf(up, start.addingTimeInterval(3725)), "1:02:05");
}

}  // namespace
