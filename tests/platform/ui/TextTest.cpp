// What texts show: localizable keys built from interpolations, and the
// count-down timer's m:ss and h:mm:ss forms.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/ui/ViewQuery.h"
#include "platform/ui/Views.h"

namespace {

using namespace SwiftUI;
using Foundation::Date;

// Texts and integers mixed, with non-ASCII literals and a literal percent
// sign between them.
TEST(LocalizedKey, InterpolationBuildsTheFormatTheWayLiteralsDo) {
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

// A ten-minute count-down from 1000 (and one paused at 1060), and a
// two-hour count-up, read at several moments.
TEST(TimerReading, FollowsNowWithinTheIntervalAndHoldsWhenPaused) {
  const Date start(1000);
  const TimerInterval interval{start, start.addingTimeInterval(600)};
  const Text down(interval, std::nullopt, true, true);
  const Text paused(interval, start.addingTimeInterval(60), true, true);
  const Text up(TimerInterval{start, start.addingTimeInterval(7200)}, std::nullopt, false, true);
  const std::tuple<const Text*, double, const char*> rows[] = {
      {&down, 15, "9:45"},    {&down, -30, "10:00"},  // before the interval: its full length
      {&down, 700, "0:00"},                           // after it: zero
      {&down, 599.5, "0:01"},  // a part second left shows as a second, so 0:00 means the end
      {&paused, 300, "9:00"}, {&up, 3725, "1:02:05"},
  };
  for (const auto& [timer, after, shown] : rows)
    EXPECT_EQ(textOf(*timer, start.addingTimeInterval(after)), shown) << after;
}

}  // namespace
