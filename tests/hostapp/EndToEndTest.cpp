// The whole loop in one process: the download app requests and updates the
// activity through the platform, the extension's presentations are built
// from the platform's copy of each state, a tap on the badge runs the
// intent on the platform's executor, the notification reaches the app on
// that worker thread, and the app answers with a new state.
//
// The queue: a 2-second wait, then two apps of 10 MB and 20 MB at exactly
// 10 MB/s (no jitter), each imported for 1 second. Worked out by hand:
// downloading 2…3 and 4…6, importing 3…4 and 6…7, done at 7 unless paused.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "hostapp/DownloadQueueApp.h"
#include "intents/PauseDownloadsIntent.h"
#include "intents/ResumeDownloadsIntent.h"
#include "platform/activitykit/ActivityCenter.h"
#include "platform/ui/Tap.h"
#include "platform/ui/ViewQuery.h"
#include "platform/widgetkit/WidgetBundle.h"

namespace {

using ActivityKit::ActivityEvent;
using Foundation::Date;
using tolvane::ContentState;
using tolvane::DownloadPhase;
using tolvane::DownloadQueue;
using tolvane::DownloadQueueApp;

constexpr std::int64_t MB = 1024 * 1024;
constexpr double start = 800000000;  // an arbitrary date

DownloadQueue::Configuration twoApps() {
  DownloadQueue::Configuration configuration;
  configuration.apps = {{"Quill", "quill.pkg", 10 * MB}, {"Tidewater", "tidewater.pkg", 20 * MB}};
  configuration.bytesPerSecond = 10 * MB;
  configuration.jitter = 0;
  configuration.queuedSeconds = 2;
  configuration.importSeconds = 1;
  return configuration;
}

// The platform, a manual clock, and the app, wired as the platform host
// wires them; plus a record of every change the platform accepted.
class Loop {
 public:
  explicit Loop(bool answersControls = true)
      : center_([this] { return now(); }),
        app_(ActivityKit::HostAppEnvironment{center_,
                                             Foundation::NotificationCenter::defaultCenter(),
                                             [this] { return now(); }, 1},
             {DownloadQueueApp::Timing::manual, answersControls}),
        extension_(
            WidgetKit::WidgetBundle::hostedActivity<tolvane::TolvaneWidgetExtensionBundle>()) {
    center_.addObserver([this](const ActivityEvent& event) {
      std::lock_guard lock(mutex_);
      events_.push_back(event);
    });
  }

  Date now() const { return Date(start + elapsed_.load()); }
  // Moves the clock to `seconds` after the start and lets the app catch up.
  void at(double seconds) {
    elapsed_ = seconds;
    app_.catchUp();
  }

  DownloadQueueApp& app() { return app_; }
  ContentState state() const { return app_.activity()->content(); }
  // What the extension shows of the platform's copy of the state.
  WidgetKit::ActivityPresentations presentations() const {
    return extension_.presentContentState(center_.activities().back().contentState, now()).value();
  }

  // Taps the lock screen's one button and waits for its intent to finish
  // and for the app to have handled what it posted.
  void tapBadge() {
    const auto buttons = SwiftUI::buttons(presentations().lockScreen);
    ASSERT_EQ(buttons.size(), 1u);
    auto done = SwiftUI::tap(buttons.front());
    ASSERT_TRUE(done.has_value());
    done->get();
    app_.waitUntilIdle();
  }

  std::vector<ActivityEvent> events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  std::atomic<double> elapsed_{0};
  ActivityKit::ActivityCenter center_;
  DownloadQueueApp app_;
  WidgetKit::HostedActivity extension_;
  mutable std::mutex mutex_;
  std::vector<ActivityEvent> events_;
};

// Whether the lock screen shows every one of `wanted`.
bool shows(const WidgetKit::ActivityPresentations& presentations, Date now,
           std::initializer_list<std::string> wanted) {
  std::vector<std::string> shown;
  for (const auto& text : SwiftUI::texts(presentations.lockScreen))
    shown.push_back(SwiftUI::textOf(text, now));
  return std::all_of(wanted.begin(), wanted.end(), [&](const std::string& text) {
    return std::find(shown.begin(), shown.end(), text) != shown.end();
  });
}

template <class Intent>
bool badgeRuns(const WidgetKit::ActivityPresentations& presentations) {
  const auto buttons = SwiftUI::buttons(presentations.lockScreen);
  return buttons.size() == 1 &&
         buttons.front().as<SwiftUI::ButtonNode>()->intent.as<Intent>() != nullptr;
}

TEST(EndToEnd, UpdatesTapsPauseAndResumeThenCompletionShowsDone) {
  Loop loop;
  ASSERT_TRUE(loop.app().start(twoApps()));
  EXPECT_TRUE(shows(loop.presentations(), loop.now(), {"Queued (1/2)"}));
  EXPECT_TRUE(SwiftUI::buttons(loop.presentations().lockScreen).empty());

  loop.at(4.5);  // app 2 half a second in; the last push, at 4, showed 10 MB of 30 MB
  // 20 MB at 10 MB/s and one import of 1 s still to come.
  EXPECT_EQ(loop.state().estimatedCompletionDate, Date(start + 7));
  EXPECT_TRUE(shows(loop.presentations(), loop.now(), {"Downloading (2/2)", "33%", "10 MB/s"}));
  EXPECT_TRUE(badgeRuns<tolvane::PauseDownloadsIntent>(loop.presentations()));

  loop.tapBadge();  // paused where it was: 15 MB
  EXPECT_TRUE(shows(loop.presentations(), loop.now(), {"Paused (2/2)", "50%", "15 MB / 30 MB"}));
  EXPECT_TRUE(badgeRuns<tolvane::ResumeDownloadsIntent>(loop.presentations()));

  loop.at(10);  // paused: time passes, nothing is pushed (the changes below say so)
  loop.tapBadge();
  EXPECT_TRUE(badgeRuns<tolvane::PauseDownloadsIntent>(loop.presentations()));

  loop.at(20);  // 15 MB of app 2 left: a push at 11, downloaded at 11.5, imported at 12.5
  const auto final = loop.presentations();
  EXPECT_TRUE(shows(final, loop.now(), {"Done (2/2)", "100%"}));
  EXPECT_TRUE(SwiftUI::buttons(final.lockScreen).empty());

  // Every change, in order, with the date it happened at.
  const std::vector<std::pair<DownloadPhase, double>> expected{
      {DownloadPhase::queued, 0},       {DownloadPhase::downloading, 2},
      {DownloadPhase::importing, 3},    {DownloadPhase::downloading, 4},
      {DownloadPhase::paused, 4.5},     {DownloadPhase::downloading, 10},
      {DownloadPhase::downloading, 11}, {DownloadPhase::importing, 11.5},
      {DownloadPhase::completed, 12.5}};
  const auto events = loop.events();
  ASSERT_EQ(events.size(), expected.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(i);
    auto state = Foundation::JSONDecoder().decode<ContentState>(events[i].activity.contentState);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->phase, expected[i].first);
    EXPECT_EQ(state->lastUpdateTime, Date(start + expected[i].second));
  }
  EXPECT_EQ(events.back().kind, ActivityEvent::Kind::ended);
  EXPECT_TRUE(loop.app().refusedUpdates().empty());
}

TEST(EndToEnd, ATapTheAppDoesNotAnswerLeavesTheDisplayAsItWas) {
  Loop loop(/*answersControls=*/false);
  ASSERT_TRUE(loop.app().start(twoApps()));
  loop.at(2.5);
  const auto before = loop.presentations();
  const auto eventsBefore = loop.events().size();
  ASSERT_TRUE(badgeRuns<tolvane::PauseDownloadsIntent>(before));

  loop.tapBadge();  // the intent ran and posted; the app did not answer
  EXPECT_EQ(loop.events().size(), eventsBefore);
  EXPECT_EQ(loop.presentations(), before);
  EXPECT_TRUE(shows(before, loop.now(), {"Downloading (1/2)"}));
}

}  // namespace
