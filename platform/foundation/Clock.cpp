#include "platform/foundation/Clock.h"

#include <chrono>

namespace Foundation {

Date currentDate() {
  using namespace std::chrono;
  double unixSeconds = duration<double>(system_clock::now().time_since_epoch()).count();
  return Date(unixSeconds - Date::timeIntervalBetween1970AndReferenceDate);
}

}  // namespace Foundation
