#include "platform/host/play/HostAppSession.h"

#include "platform/foundation/Clock.h"
#include "platform/ui/ViewQuery.h"

namespace Host {

SimulationClock::SimulationClock(double speed)
    : start_(Foundation::currentDate()),
      realStart_(std::chrono::steady_clock::now()),
      speed_(speed) {}

Foundation::Date SimulationClock::now() const {
  const std::chrono::duration<double> real = std::chrono::steady_clock::now() - realStart_;
  return start_.addingTimeInterval(real.count() * speed_);
}

HostAppSession::HostAppSession(const ActivityKit::HostAppFactory& factory, double speed)
    : clock_(speed), center_([this] { return clock_.now(); }) {
  center_.addObserver([this](const ActivityKit::ActivityEvent& event) {
    {
      std::lock_guard lock(mutex_);
      events_.push_back(event);
    }
    arrived_.notify_all();
  });
  app_ = factory(ActivityKit::HostAppEnvironment{center_,
                                                 Foundation::NotificationCenter::defaultCenter(),
                                                 [this] { return clock_.now(); }, speed});
}

std::optional<ActivityKit::ActivityEvent> HostAppSession::nextEvent(
    std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!arrived_.wait_for(lock, timeout, [this] { return !events_.empty(); })) return std::nullopt;
  ActivityKit::ActivityEvent event = std::move(events_.front());
  events_.pop_front();
  return event;
}

std::vector<std::string> textsShown(const SwiftUI::View& view, Foundation::Date now) {
  std::vector<std::string> shown;
  for (const auto& text : SwiftUI::texts(view)) shown.push_back(SwiftUI::textOf(text, now));
  return shown;
}

}  // namespace Host
