#include "platform/ui/Tap.h"

namespace SwiftUI {

std::optional<std::future<AppIntents::IntentResult>> tap(const View& view) {
  const auto* button = view.as<ButtonNode>();
  if (button == nullptr) return std::nullopt;
  return button->intent.perform();
}

}  // namespace SwiftUI
