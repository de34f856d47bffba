#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/DownloadPhase.h"
#include "platform/foundation/Date.h"

namespace tolvane {

// The attributes of the download activity: a static part fixed when the host
// app starts the activity, and the dynamic ContentState that it replaces at
// every update and that every view reads.
struct DownloadActivityAttributes {
  // The dynamic part: thirteen fields, in the order in which they are
  // encoded, decoded, compared and hashed. It holds what the host app sent
  // and enforces no relation between its fields.
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
  };

  Foundation::Date startTime;
};

using ContentState = DownloadActivityAttributes::ContentState;

}  // namespace tolvane
