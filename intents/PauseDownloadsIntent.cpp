#include "intents/PauseDownloadsIntent.h"

#include "platform/foundation/NotificationCenter.h"

namespace tolvane {

const Foundation::LocalizedStringResource& PauseDownloadsIntent::title() {
  // A function-local static: built on the first read, exactly once, with
  // concurrent first readers waiting for it.
  static const Foundation::LocalizedStringResource title("Pause Downloads");
  return title;
}

AppIntents::IntentResult PauseDownloadsIntent::perform() const {
  Foundation::NotificationCenter::defaultCenter().post(notificationName, nullptr);
  return AppIntents::IntentResult::result();
}

}  // namespace tolvane
