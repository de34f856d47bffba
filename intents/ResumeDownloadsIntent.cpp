#include "intents/ResumeDownloadsIntent.h"

#include "platform/foundation/NotificationCenter.h"

namespace tolvane {

const Foundation::LocalizedStringResource& ResumeDownloadsIntent::title() {
  // Built on the first read, exactly once, with concurrent first readers
  // waiting for it.
  static const Foundation::LocalizedStringResource title("Resume Downloads");
  return title;
}

AppIntents::IntentResult ResumeDownloadsIntent::perform() const {
  Foundation::NotificationCenter::defaultCenter().post(notificationName, nullptr);
  return AppIntents::IntentResult::result();
}

}  // namespace tolvane
