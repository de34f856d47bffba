#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/activitykit/ActivityCenter.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Result.h"

// The app that owns an activity, as the platform host plays it.
//
// On the phone the host app is a process of its own that the system starts;
// here, where the extension is exercised without it, the platform host runs
// a stand-in in its own process. The stand-in is installed by whoever
// builds the program (installHostApp, before the platform host runs) and
// reached only through this interface, so that the platform knows nothing of
// any attributes type: it sees the activities the app requests in an
// ActivityCenter, posts the intents' notifications on a NotificationCenter,
// and hands the app the URLs the user opens.
namespace ActivityKit {

// What the platform gives the app when it starts it.
struct HostAppEnvironment {
  ActivityCenter& activityCenter;
  Foundation::NotificationCenter& notificationCenter;
  // The system's clock: every date the app writes comes from it.
  std::function<Foundation::Date()> now;
  // Simulated seconds that pass in one real second: the app's timers fire
  // that many times sooner.
  double speed = 1;
};

class HostApp {
 public:
  virtual ~HostApp() = default;

  // The user launches the app's work, with the input they handed it (the
  // app's own JSON) or with none (the app's default). What the work is, and
  // whether it starts an activity, is the app's. Fails with an error line
  // when the app refuses the input. Returns soon: the work runs on the app's
  // own threads.
  virtual Foundation::Result<void, std::string> launch(std::optional<std::string_view> input) = 0;

  // The platform opens `url` in the app (a tap on the Dynamic Island).
  virtual void open(const std::string& url) = 0;
};

using HostAppFactory = std::function<std::unique_ptr<HostApp>(const HostAppEnvironment&)>;

// Installs the factory of the app the platform host plays (replacing any);
// an empty function uninstalls it. Call before the platform host runs.
void installHostApp(HostAppFactory factory);

// The installed factory, or an empty function.
HostAppFactory installedHostApp();

}  // namespace ActivityKit
