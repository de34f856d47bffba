#include "model/DownloadPhase.h"

#include <string>

#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"

namespace tolvane {

std::optional<DownloadPhase> downloadPhase(std::string_view rawValue) {
  if (rawValue == "queued") return DownloadPhase::queued;
  if (rawValue == "downloading") return DownloadPhase::downloading;
  if (rawValue == "paused") return DownloadPhase::paused;
  if (rawValue == "importing") return DownloadPhase::importing;
  if (rawValue == "completed") return DownloadPhase::completed;
  return std::nullopt;
}

std::string_view rawValue(DownloadPhase phase) {
  switch (phase) {
    case DownloadPhase::queued: return "queued";
    case DownloadPhase::downloading: return "downloading";
    case DownloadPhase::paused: return "paused";
    case DownloadPhase::importing: return "importing";
    case DownloadPhase::completed: return "completed";
  }
  return "queued";  // not reached: every case is handled above
}

}  // namespace tolvane

tolvane::DownloadPhase Foundation::CodableTraits<tolvane::DownloadPhase>::decode(
    Foundation::Decoder& decoder) {
  auto text = decoder.decode<std::string>();
  if (auto phase = tolvane::downloadPhase(text)) return *phase;
  decoder.dataCorrupted("Cannot initialize DownloadPhase from invalid String value " + text);
}

void Foundation::CodableTraits<tolvane::DownloadPhase>::encode(tolvane::DownloadPhase phase,
                                                               Foundation::Encoder& encoder) {
  encoder.encode(std::string(tolvane::rawValue(phase)));
}
