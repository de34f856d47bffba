#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostapp/DownloadQueue.h"
#include "model/DownloadActivityAttributes.h"
#include "platform/activitykit/Activity.h"
#include "platform/activitykit/HostApp.h"

namespace tolvane {

// The host app's side of the download activity, played: it runs a
// DownloadQueue on its own serial queue and keeps the activity showing it.
//
// - It requests the activity with the queue's first state and pushes a new
//   state on every change of phase or app, and every second while bytes
//   flow; when the queue completes it ends the activity with the final
//   state.
// - It observes "PauseDownloads" and "ResumeDownloads" on the environment's
//   notification centre. They arrive on whatever thread posted them (the
//   platform's intent executor); the observer only hops to the app's queue,
//   where the queue is paused or resumed and the state that shows it is
//   pushed (also when nothing changed, so the display always answers).
// - It takes the deep link the platform opens and remembers it.
//
// Timing. With Timing::live the app's timers fire in real time divided by
// the environment's speed. With Timing::manual no timer runs: the caller
// moves the environment's clock and calls catchUp(), which runs every wake
// that fell due, at its own date, in order; a test steps through a queue of
// minutes without sleeping.
//
// Threads: the public members may be called from any thread but the app's
// own queue. Destruction removes the observers, then stops the queue.
class DownloadQueueApp final : public ActivityKit::HostApp {
 public:
  enum class Timing { live, manual };

  struct Options {
    Timing timing = Timing::live;
    // When false the app does not observe the two notifications: a tap on
    // the badge goes unanswered.
    bool answersControls = true;
  };

  DownloadQueueApp(const ActivityKit::HostAppEnvironment& environment, Options options);
  ~DownloadQueueApp() override;

  // Starts the app's download queue, the built-in one or the one described
  // by `queue` (JSON), and the activity that shows it; a queue already
  // running ends first. Fails with an error line when the description is
  // refused. Returns at once: the queue runs on the app's own queue.
  Foundation::Result<void, std::string> startQueue(std::optional<std::string_view> queue);
  // A launch starts a queue.
  Foundation::Result<void, std::string> launch(std::optional<std::string_view> input) override {
    return startQueue(input);
  }
  void open(const std::string& url) override;

  // Starts a queue from a configuration (waits until the activity is
  // requested); fails with the error line of a refused request.
  Foundation::Result<void, std::string> start(DownloadQueue::Configuration configuration);

  // Timing::manual: runs every wake due by the environment's clock now, and
  // waits for them.
  void catchUp();
  // Waits until the jobs queued so far (a notification's hop) have run.
  void waitUntilIdle();

  // What the app has seen, read on its queue.
  std::optional<ActivityKit::Activity<DownloadActivityAttributes>> activity() const;
  std::optional<DownloadPhase> phase() const;
  std::vector<std::string> openedURLs() const;
  // The errors the platform answered pushes with, oldest first (the newest
  // sixteen; as are the URLs).
  std::vector<ActivityKit::ActivityError> refusedUpdates() const;

  // Installs this app as the one the platform host plays (live timing).
  static void install();

 private:
  struct Core;
  std::shared_ptr<Core> core_;
  std::vector<Foundation::NotificationCenter::ObserverToken> observers_;
  Foundation::NotificationCenter& notificationCenter_;
};

}  // namespace tolvane
