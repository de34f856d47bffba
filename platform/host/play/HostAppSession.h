#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/activitykit/ActivityCenter.h"
#include "platform/activitykit/HostApp.h"
#include "platform/foundation/Date.h"
#include "platform/host/Host.h"
#include "platform/ui/View.h"
#include "platform/widgetkit/ActivityPresentations.h"

// What the simulate and serve commands share: the installed host app
// started against an activity centre of its own, on a clock that runs
// `speed` times faster than real time, and the platform's reading of what
// the app pushes.
namespace Host {

// Simulated time: the system's date when the session began, plus the real
// time since then times the speed. Lock-free to read.
class SimulationClock {
 public:
  explicit SimulationClock(double speed);
  Foundation::Date now() const;
  Foundation::Date start() const { return start_; }
  double speed() const { return speed_; }

 private:
  Foundation::Date start_;
  std::chrono::steady_clock::time_point realStart_;
  double speed_;
};

// The platform's side of one run of the host app. Events the centre
// accepts are queued for the command's thread (nextEvent), so that drawing
// never holds up the app. Members are declared so that the app goes before
// the centre it uses.
class HostAppSession {
 public:
  // Starts the installed app (there must be one).
  HostAppSession(const ActivityKit::HostAppFactory& factory, double speed);
  HostAppSession(const HostAppSession&) = delete;
  HostAppSession& operator=(const HostAppSession&) = delete;

  ActivityKit::ActivityCenter& center() { return center_; }
  ActivityKit::HostApp& app() { return *app_; }
  const SimulationClock& clock() const { return clock_; }

  // The next accepted change, waiting for it up to `timeout`.
  std::optional<ActivityKit::ActivityEvent> nextEvent(std::chrono::milliseconds timeout);

 private:
  SimulationClock clock_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<ActivityKit::ActivityEvent> events_;  // guarded by mutex_
  ActivityKit::ActivityCenter center_;
  std::unique_ptr<ActivityKit::HostApp> app_;
};

// The texts a view shows, in reading order, timers read at `now`.
std::vector<std::string> textsShown(const SwiftUI::View& view, Foundation::Date now);

}  // namespace Host
