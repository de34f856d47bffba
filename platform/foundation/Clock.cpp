#include "platform/foundation/Clock.h"

#include <atomic>
#include <chrono>
#include <cmath>

namespace Foundation {
namespace {

// The pinned date's seconds, or NaN when nothing is pinned. A constant-
// initialised atomic: no static constructor runs for it.
constinit std::atomic<double> pinnedSeconds{NAN};

}  // namespace

Date currentDate() {
  double pinned = pinnedSeconds.load(std::memory_order_acquire);
  if (!std::isnan(pinned)) return Date(pinned);
  using namespace std::chrono;
  double unixSeconds = duration<double>(system_clock::now().time_since_epoch()).count();
  return Date(unixSeconds - Date::timeIntervalBetween1970AndReferenceDate);
}

void setPinnedCurrentDate(std::optional<Date> date) {
  pinnedSeconds.store(date ? date->timeIntervalSinceReferenceDate : NAN, std::memory_order_release);
}

PinnedCurrentDate::PinnedCurrentDate(Date date) {
  double pinned = pinnedSeconds.load(std::memory_order_acquire);
  if (!std::isnan(pinned)) previous_ = Date(pinned);
  setPinnedCurrentDate(date);
}

PinnedCurrentDate::~PinnedCurrentDate() {
  setPinnedCurrentDate(previous_);
}

}  // namespace Foundation
