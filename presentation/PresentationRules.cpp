#include "presentation/PresentationRules.h"

#include <cmath>

#include "platform/foundation/ByteCountFormatter.h"

namespace tolvane {

DownloadPhase effectivePhase(const ContentState& state) {
  if (state.phase) return *state.phase;
  if (state.isCompleted) return DownloadPhase::completed;
  if (state.isPaused) return DownloadPhase::paused;
  return DownloadPhase::downloading;
}

std::string_view phaseLabel(DownloadPhase phase) {
  switch (phase) {
    case DownloadPhase::queued: return "Queued";
    case DownloadPhase::downloading: return "Downloading";
    case DownloadPhase::paused: return "Paused";
    case DownloadPhase::importing: return "Importing";
    case DownloadPhase::completed: return "Done";
  }
  return "Downloading";
}

SwiftUI::Color phaseColor(DownloadPhase phase) {
  switch (phase) {
    case DownloadPhase::queued: return SwiftUI::Color::secondary;
    case DownloadPhase::downloading: return SwiftUI::Color::blue;
    case DownloadPhase::paused: return SwiftUI::Color::orange;
    case DownloadPhase::importing: return SwiftUI::Color::purple;
    case DownloadPhase::completed: return SwiftUI::Color::green;
  }
  return SwiftUI::Color::blue;
}

std::string_view phaseIcon(DownloadPhase phase) {
  switch (phase) {
    case DownloadPhase::queued: return "clock";
    case DownloadPhase::downloading: return "arrow.down";
    case DownloadPhase::paused: return "pause.fill";
    case DownloadPhase::importing: return "shippingbox.fill";
    case DownloadPhase::completed: return "checkmark";
  }
  return "arrow.down";
}

std::int64_t progressPercent(double overallProgress) {
  const double product = overallProgress * 100.0;
  // The int64 range is [-2^63, 2^63); both bounds are exact doubles, and
  // converting anything outside it (or a NaN) would be undefined.
  constexpr double limit = 9223372036854775808.0;
  if (!std::isfinite(product) || product >= limit || product < -limit) return 0;
  return static_cast<std::int64_t>(product);
}

SwiftUI::LocalizedStringKey percentageText(double overallProgress) {
  return SwiftUI::LocalizedStringKey::interpolated({"", progressPercent(overallProgress), "%"});
}

bool showsBytes(DownloadPhase phase) {
  switch (phase) {
    case DownloadPhase::downloading:
    case DownloadPhase::paused: return true;
    case DownloadPhase::queued:
    case DownloadPhase::importing:
    case DownloadPhase::completed: return false;
  }
  return false;
}

std::string byteCountText(std::int64_t count) {
  Foundation::ByteCountFormatter formatter;
  formatter.countStyle = Foundation::ByteCountFormatter::CountStyle::binary;
  formatter.allowedUnits = Foundation::ByteCountFormatter::Units::useKB |
                           Foundation::ByteCountFormatter::Units::useMB |
                           Foundation::ByteCountFormatter::Units::useGB;
  formatter.includesUnit = true;
  formatter.isAdaptive = true;
  return formatter.stringFromByteCount(count);
}

std::string speedText(std::int64_t bytesPerSecond) {
  if (bytesPerSecond < 1) return "0 KB/s";
  return byteCountText(bytesPerSecond) + "/s";
}

}  // namespace tolvane
