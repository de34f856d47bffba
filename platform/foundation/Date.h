#pragma once

#include <compare>

namespace Foundation {

// A point in time: seconds since 2001-01-01 00:00:00 UTC (the platform's
// reference date), fractions allowed. Two dates are equal when their seconds
// are equal. A plain value; no time zone, no calendar.
struct Date {
  double timeIntervalSinceReferenceDate = 0;

  // Seconds between 1970-01-01 and 2001-01-01, both UTC.
  static constexpr double timeIntervalBetween1970AndReferenceDate = 978307200.0;

  constexpr Date() = default;
  constexpr explicit Date(double secondsSinceReferenceDate)
      : timeIntervalSinceReferenceDate(secondsSinceReferenceDate) {}

  constexpr double timeIntervalSince(Date other) const {
    return timeIntervalSinceReferenceDate - other.timeIntervalSinceReferenceDate;
  }
  constexpr Date addingTimeInterval(double seconds) const {
    return Date(timeIntervalSinceReferenceDate + seconds);
  }

  friend constexpr bool operator==(Date a, Date b) {
    return a.timeIntervalSinceReferenceDate == b.timeIntervalSinceReferenceDate;
  }
  friend constexpr auto operator<=>(Date a, Date b) {
    return a.timeIntervalSinceReferenceDate <=> b.timeIntervalSinceReferenceDate;
  }
};

}  // namespace Foundation
