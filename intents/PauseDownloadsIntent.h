#pragma once

#include <string_view>

#include "platform/appintents/AppIntent.h"
#include "platform/appintents/IntentResult.h"
#include "platform/foundation/LocalizedStringResource.h"

namespace tolvane {

// The live-activity intent behind the phase badge while downloads run. It
// knows nothing about downloads: perform() posts "PauseDownloads" on the
// process's default notification centre, with no object and no user info,
// and the host app pauses its queue in answer. No stored properties; all
// instances are interchangeable.
struct PauseDownloadsIntent : AppIntents::LiveActivityIntentConformance {
  static constexpr std::string_view typeName = "PauseDownloadsIntent";
  static constexpr std::string_view notificationName = "PauseDownloads";

  // "Pause Downloads", built once on first use (also when first read from
  // several threads at once); every read gives the same value.
  static const Foundation::LocalizedStringResource& title();

  // Posts the notification and returns the empty result. Never throws.
  AppIntents::IntentResult perform() const;

  friend bool operator==(const PauseDownloadsIntent&, const PauseDownloadsIntent&) = default;
};

static_assert(AppIntents::LiveActivityIntent<PauseDownloadsIntent>);

}  // namespace tolvane
