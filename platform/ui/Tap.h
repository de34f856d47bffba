#pragma once

#include <future>
#include <optional>

#include "platform/appintents/IntentResult.h"
#include "platform/ui/View.h"

namespace SwiftUI {

// The platform's side of a tap on a view. A tap on a Button runs its
// intent's perform() on the shared concurrent executor and gives back a
// future the caller can wait on for the result; the tap itself returns at
// once and never runs perform() on the calling thread. A tap on any other
// view does nothing and gives nullopt.
std::optional<std::future<AppIntents::IntentResult>> tap(const View& view);

}  // namespace SwiftUI
