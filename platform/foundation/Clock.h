#pragma once

#include <optional>

#include "platform/foundation/Date.h"

namespace Foundation {

// The process's source of "now" (what the platform's Date() reads), with a
// seam that pins it: the platform host pins it from its command line
// (--now SECONDS) and tests pin it to a fixed date.
//
// currentDate(): the pinned date when one is set, else the system clock's
// time converted to seconds since 2001-01-01 00:00:00 UTC. Lock-free; may be
// called from any thread.
Date currentDate();

// Pins "now" to `date`, or with nullopt returns to the system clock. Affects
// every thread; meant to be set before views are evaluated.
void setPinnedCurrentDate(std::optional<Date> date);

// Pins "now" for the lifetime of the object, restoring the earlier setting
// afterwards (for tests).
class PinnedCurrentDate {
 public:
  explicit PinnedCurrentDate(Date date);
  ~PinnedCurrentDate();
  PinnedCurrentDate(const PinnedCurrentDate&) = delete;
  PinnedCurrentDate& operator=(const PinnedCurrentDate&) = delete;

 private:
  std::optional<Date> previous_;
};

}  // namespace Foundation
