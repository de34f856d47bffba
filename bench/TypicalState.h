#pragma once

#include <string_view>

#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/JSONDecoder.h"

// The state every extension benchmark starts from: a typical one, as the host
// app pushes it while downloading, and the moment it is shown at.
namespace bench {

constexpr std::string_view typicalState =
    R"({"currentDownload":2,"totalDownloads":5,"overallProgress":0.42,"currentFileName":"Tallies.ipa",)"
    R"("appNames":["Lantern","Tallies","Quill","Loopcrafts","Clipsy"],"totalBytesDownloaded":1503238553,)"
    R"("totalBytesExpected":3579139413,"bytesPerSecond":6291456,"lastUpdateTime":818003725.5,)"
    R"("estimatedCompletionDate":818004055.5,"isCompleted":false,"isPaused":false,"phase":"downloading"})";

constexpr Foundation::Date pinnedNow(818003725.5);

inline tolvane::ContentState decodedState() {
  return *Foundation::JSONDecoder().decode<tolvane::ContentState>(typicalState);
}

}  // namespace bench
