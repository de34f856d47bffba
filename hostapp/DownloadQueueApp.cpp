#include "hostapp/DownloadQueueApp.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

#include "hostapp/SerialQueue.h"
#include "intents/PauseDownloadsIntent.h"
#include "intents/ResumeDownloadsIntent.h"

namespace tolvane {

using ActivityKit::ActivityError;
using DownloadActivity = ActivityKit::Activity<DownloadActivityAttributes>;
using Foundation::Date;

// What the app remembers of taps and refusals, for a caller that asks: the
// newest few, so that a session left running holds a bounded amount.
template <typename T>
void remember(std::vector<T>& list, T value) {
  constexpr std::size_t kept = 16;
  if (list.size() == kept) list.erase(list.begin());
  list.push_back(std::move(value));
}

// Everything the app holds. All but the queue itself is touched only on the
// queue's thread.
struct DownloadQueueApp::Core {
  Core(const ActivityKit::HostAppEnvironment& environment, Timing mode)
      : center(environment.activityCenter),
        now(environment.now),
        speed(environment.speed),
        timing(mode) {}

  ActivityKit::ActivityCenter& center;
  std::function<Date()> now;
  double speed;
  Timing timing;

  std::optional<DownloadQueue> downloads;
  std::optional<DownloadActivity> activity;
  Date queueTime;                       // the date the queue has been advanced to
  Date lastPush;                        // the date of the last state pushed
  std::optional<Date> nextWake;         // when the queue next needs the app
  std::uint64_t generation = 0;         // of the live timer that may fire; older ones do nothing
  std::vector<std::string> openedURLs;  // the newest few
  std::vector<ActivityError> refused;   // the newest few

  SerialQueue queue;  // last: stopped first when the app goes

  void bringTo(Date t) {
    if (t > queueTime) downloads->advance(t.timeIntervalSince(queueTime));
    queueTime = std::max(queueTime, t);
  }

  // Pushes the state at `t`; a completed queue ends the activity with it.
  void push(Date t) {
    if (!activity) return;
    const ContentState state = downloads->contentState(t);
    lastPush = t;
    auto pushed = downloads->isCompleted() ? activity->end(state) : activity->update(state);
    if (!pushed) remember(refused, std::move(pushed).error());
  }

  // Works out the next wake: the next change of phase or app, and a second
  // after the last push while bytes flow. Live timing arms a timer for it.
  void schedule() {
    nextWake.reset();
    ++generation;
    if (!downloads || !activity || downloads->isCompleted() || downloads->isPaused()) return;
    double in = downloads->timeToNextChange().value_or(std::numeric_limits<double>::infinity());
    if (downloads->phase() == DownloadPhase::downloading) {
      in = std::min(in, lastPush.addingTimeInterval(1).timeIntervalSince(queueTime));
    }
    if (!std::isfinite(in)) return;
    nextWake = queueTime.addingTimeInterval(std::max(0.0, in));
    if (timing != Timing::live) return;
    const double realSeconds = std::max(0.0, nextWake->timeIntervalSince(now())) / speed;
    queue.asyncAfter(SerialQueue::duration(realSeconds), [this, armed = generation] {
      if (armed == generation) wake();
    });
  }

  // Live timers may fire late (a busy machine, a high speed): the app then
  // shows the queue as it is now rather than as it was meant to be.
  void wake() {
    const Date t = timing == Timing::live ? std::max(*nextWake, now()) : *nextWake;
    bringTo(t);
    push(t);
    schedule();
  }

  void runDue(Date target) {
    while (nextWake && *nextWake <= target) wake();
  }

  void control(bool pause) {
    if (!downloads || !activity || downloads->isCompleted()) return;
    const Date t = now();
    runDue(t);
    if (downloads->isCompleted()) return;  // completed meanwhile
    bringTo(t);
    if (pause) {
      downloads->pause();
    } else {
      downloads->resume();
    }
    push(queueTime);
    schedule();
  }

  Foundation::Result<void, std::string> start(DownloadQueue::Configuration configuration) {
    if (activity && activity->activityState() == ActivityKit::ActivityState::active) {
      auto ended = activity->end(downloads->contentState(queueTime));
      if (!ended) remember(refused, std::move(ended).error());
      activity.reset();
    }
    queueTime = now();
    downloads.emplace(std::move(configuration));
    auto requested =
        DownloadActivity::request(center, DownloadActivityAttributes{queueTime},
                                  downloads->contentState(queueTime), "DownloadActivityAttributes");
    if (!requested) {
      downloads.reset();
      schedule();
      return requested.error().message;
    }
    activity = std::move(*requested);
    lastPush = queueTime;
    schedule();
    return {};
  }
};

DownloadQueueApp::DownloadQueueApp(const ActivityKit::HostAppEnvironment& environment,
                                   Options options)
    : core_(std::make_shared<Core>(environment, options.timing)),
      notificationCenter_(environment.notificationCenter) {
  if (!options.answersControls) return;
  // Delivered on the posting thread: hop to the app's queue before touching
  // anything.
  const auto observe = [this](std::string_view name, bool pause) {
    observers_.push_back(notificationCenter_.addObserver(
        std::string(name), nullptr,
        [weak = std::weak_ptr<Core>(core_), pause](const Foundation::Notification&) {
          if (auto core = weak.lock())
            core->queue.async([raw = core.get(), pause] { raw->control(pause); });
        }));
  };
  observe(tolvane::PauseDownloadsIntent::notificationName, true);
  observe(tolvane::ResumeDownloadsIntent::notificationName, false);
}

DownloadQueueApp::~DownloadQueueApp() {
  for (auto token : observers_) notificationCenter_.removeObserver(token);
}

Foundation::Result<void, std::string> DownloadQueueApp::startQueue(
    std::optional<std::string_view> queue) {
  if (!queue) return start(DownloadQueue::builtIn());
  auto configuration = DownloadQueue::configuration(*queue);
  if (!configuration) return configuration.error();
  return start(std::move(*configuration));
}

Foundation::Result<void, std::string> DownloadQueueApp::start(
    DownloadQueue::Configuration configuration) {
  Foundation::Result<void, std::string> started;
  core_->queue.sync([&] { started = core_->start(std::move(configuration)); });
  return started;
}

void DownloadQueueApp::open(const std::string& url) {
  core_->queue.async([core = core_.get(), url] { remember(core->openedURLs, url); });
}

void DownloadQueueApp::catchUp() {
  core_->queue.sync([core = core_.get()] { core->runDue(core->now()); });
}

void DownloadQueueApp::waitUntilIdle() {
  core_->queue.sync([] {});
}

std::optional<DownloadActivity> DownloadQueueApp::activity() const {
  std::optional<DownloadActivity> result;
  core_->queue.sync([&] { result = core_->activity; });
  return result;
}

std::optional<DownloadPhase> DownloadQueueApp::phase() const {
  std::optional<DownloadPhase> result;
  core_->queue.sync([&] {
    if (core_->downloads) result = core_->downloads->phase();
  });
  return result;
}

std::vector<std::string> DownloadQueueApp::openedURLs() const {
  std::vector<std::string> result;
  core_->queue.sync([&] { result = core_->openedURLs; });
  return result;
}

std::vector<ActivityError> DownloadQueueApp::refusedUpdates() const {
  std::vector<ActivityError> result;
  core_->queue.sync([&] { result = core_->refused; });
  return result;
}

void DownloadQueueApp::install() {
  ActivityKit::installHostApp([](const ActivityKit::HostAppEnvironment& environment) {
    return std::make_unique<DownloadQueueApp>(environment, Options{});
  });
}

}  // namespace tolvane
