// Decodes arbitrary bytes as a content state. Whenever they decode, the
// state written again must read back equal, with an equal hash, and the
// written form must be stable: writing the copy and reading that back gives
// the same bytes again. (Not already after the first trip: "-0" reads as the
// integer 0, so a negative zero comes back as +0.0, which is equal.)
// Anything else aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tolvane::ContentState;
  static Foundation::JSONDecoder& decoder =
      *new Foundation::JSONDecoder();  // reused, never destroyed
  std::string_view input(reinterpret_cast<const char*>(data), size);

  auto state = decoder.decode<ContentState>(input);
  if (!state) {
    // Every failure carries a description of what went wrong.
    if (state.error().debugDescription.empty()) std::abort();
    return 0;
  }
  auto json = Foundation::JSONEncoder().encode(*state);
  if (!json) std::abort();  // decoded numbers are finite, so always writable
  auto again = decoder.decode<ContentState>(*json);
  if (!again || !(*again == *state)) std::abort();
  if (std::hash<ContentState>{}(*again) != std::hash<ContentState>{}(*state)) std::abort();
  if (again->phase.has_value() != state->phase.has_value()) std::abort();
  if (again->estimatedCompletionDate.has_value() != state->estimatedCompletionDate.has_value())
    std::abort();
  auto rewritten = Foundation::JSONEncoder().encode(*again);
  if (!rewritten) std::abort();
  auto third = decoder.decode<ContentState>(*rewritten);
  if (!third || !(*third == *state)) std::abort();
  auto stable = Foundation::JSONEncoder().encode(*third);
  if (!stable || *stable != *rewritten) std::abort();
  return 0;
}
