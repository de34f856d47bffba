#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/DownloadPhase.h"
#include "platform/foundation/Codable.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Hasher.h"

namespace tolvane {

// The attributes of the download activity: a static part fixed when the host
// app starts the activity, and the dynamic ContentState that it replaces at
// every update and that every view reads.
//
// JSON form: {"startTime": <date>}, the date required. The content state is
// not part of it; the platform carries it separately. Codable only (neither
// equatable nor hashable).
struct DownloadActivityAttributes {
  // The dynamic part: thirteen fields, in the order in which they are
  // encoded, decoded, compared and hashed. It holds what the host app sent
  // and enforces no relation between its fields.
  //
  // JSON form: one object whose keys are the field names. The eleven
  // required keys must be present with a value of their type; the two
  // optional ones (estimatedCompletionDate, phase) are absent when missing
  // or null, and are written only when present. Unknown keys are ignored.
  // Dates are numbers of seconds since 2001-01-01 UTC.
  struct ContentState {
    std::int64_t currentDownload = 0;
    std::int64_t totalDownloads = 0;
    double overallProgress = 0;
    std::string currentFileName;
    std::vector<std::string> appNames;
    std::int64_t totalBytesDownloaded = 0;
    std::int64_t totalBytesExpected = 0;
    std::int64_t bytesPerSecond = 0;
    Foundation::Date lastUpdateTime;
    std::optional<Foundation::Date> estimatedCompletionDate;
    bool isCompleted = false;
    bool isPaused = false;
    std::optional<DownloadPhase> phase;

    // Reads the keys in declaration order; fails at the first that is
    // missing, null where required, of the wrong type, or (phase) names no
    // case. No partly decoded state is returned.
    static ContentState decode(Foundation::Decoder& decoder);
    // Writes the keys in declaration order, optionals only when present.
    // A non-finite overallProgress or date fails at its key.
    void encode(Foundation::Encoder& encoder) const;

    // Compares the fields in declaration order and stops at the first
    // difference: texts by canonical equivalence, overallProgress and dates
    // as doubles (0.0 equals -0.0; NaN equals nothing, not even itself).
    friend bool operator==(const ContentState& a, const ContentState& b);

    // Feeds the hasher the fields in declaration order, consistently with
    // equality: texts in a canonical form, -0.0 as +0.0, the count of
    // appNames before the names, a presence byte before each optional, the
    // flags as one byte each, and the phase as its raw value.
    void hash(Foundation::Hasher& hasher) const;
  };

  Foundation::Date startTime;

  static DownloadActivityAttributes decode(Foundation::Decoder& decoder);
  void encode(Foundation::Encoder& encoder) const;
};

using ContentState = DownloadActivityAttributes::ContentState;

}  // namespace tolvane

template <>
struct std::hash<tolvane::ContentState> {
  std::size_t operator()(const tolvane::ContentState& state) const noexcept {
    Foundation::Hasher hasher;
    state.hash(hasher);
    return hasher.finalize();
  }
};
