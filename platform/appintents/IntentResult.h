#pragma once

#include <optional>
#include <string>

namespace AppIntents {

// What an intent's perform() gives back. The intents of this system return
// the empty result, result(): no value, no dialog, no snippet view.
struct IntentResult {
  std::optional<std::string> value = std::nullopt;
  std::optional<std::string> dialog = std::nullopt;
  bool hasSnippetView = false;

  static IntentResult result() { return {}; }

  bool isEmpty() const { return !value && !dialog && !hasSnippetView; }

  friend bool operator==(const IntentResult&, const IntentResult&) = default;
};

}  // namespace AppIntents
