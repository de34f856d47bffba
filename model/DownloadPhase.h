#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/foundation/Codable.h"

namespace tolvane {

// The stage the host app's download queue is in. Five cases, each written in
// JSON as its own name. Phases have no order and no list of all cases; where a
// phase is optional, absence is a state of its own.
enum class DownloadPhase : std::uint8_t { queued, downloading, paused, importing, completed };

// The case whose raw value is exactly `rawValue` (case-sensitive, whole
// string, no trimming), or no phase for any other text.
std::optional<DownloadPhase> downloadPhase(std::string_view rawValue);

// "queued", "downloading", "paused", "importing" or "completed".
std::string_view rawValue(DownloadPhase phase);

}  // namespace tolvane

// A phase is written as one JSON string, its raw value. Decoding reads one
// string: text that names no case is dataCorrupted ("Cannot initialize
// DownloadPhase from invalid String value Paused"), a value that is not a
// string is typeMismatch; no case is ever substituted.
template <>
struct Foundation::CodableTraits<tolvane::DownloadPhase> {
  static tolvane::DownloadPhase decode(Foundation::Decoder& decoder);
  static void encode(tolvane::DownloadPhase phase, Foundation::Encoder& encoder);
};

// A phase hashes as its raw value string does.
template <>
struct std::hash<tolvane::DownloadPhase> {
  std::size_t operator()(tolvane::DownloadPhase phase) const noexcept {
    return std::hash<std::string_view>{}(tolvane::rawValue(phase));
  }
};
