#pragma once

#include <string_view>

#include "platform/appintents/AppIntent.h"
#include "platform/appintents/IntentResult.h"
#include "platform/foundation/LocalizedStringResource.h"

namespace tolvane {

// The live-activity intent behind the phase badge while downloads stand
// paused: perform() posts "ResumeDownloads" on the process's default
// notification centre, with no object and no user info, and the host app
// resumes its queue in answer. No stored properties.
struct ResumeDownloadsIntent : AppIntents::LiveActivityIntentConformance {
  static constexpr std::string_view typeName = "ResumeDownloadsIntent";
  static constexpr std::string_view notificationName = "ResumeDownloads";

  // "Resume Downloads", built once on first use; every read gives the same
  // value.
  static const Foundation::LocalizedStringResource& title();

  // Posts the notification and returns the empty result. Never throws.
  AppIntents::IntentResult perform() const;

  friend bool operator==(const ResumeDownloadsIntent&, const ResumeDownloadsIntent&) = default;
};

static_assert(AppIntents::LiveActivityIntent<ResumeDownloadsIntent>);

}  // namespace tolvane
