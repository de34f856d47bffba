#include "model/DownloadActivityAttributes.h"

#include <algorithm>

#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"
#include "platform/foundation/UnicodeText.h"

namespace tolvane {

namespace {

bool textEqual(const std::string& a, const std::string& b) {
  // Equal bytes are equivalent; only differing texts need the canonical check.
  return a == b || Foundation::canonicallyEquivalent(a, b);
}

}  // namespace

ContentState ContentState::decode(Foundation::Decoder& decoder) {
  auto c = decoder.container();
  ContentState state;
  state.currentDownload = c.decode<std::int64_t>("currentDownload");
  state.totalDownloads = c.decode<std::int64_t>("totalDownloads");
  state.overallProgress = c.decode<double>("overallProgress");
  state.currentFileName = c.decode<std::string>("currentFileName");
  state.appNames = c.decode<std::vector<std::string>>("appNames");
  state.totalBytesDownloaded = c.decode<std::int64_t>("totalBytesDownloaded");
  state.totalBytesExpected = c.decode<std::int64_t>("totalBytesExpected");
  state.bytesPerSecond = c.decode<std::int64_t>("bytesPerSecond");
  state.lastUpdateTime = c.decode<Foundation::Date>("lastUpdateTime");
  state.estimatedCompletionDate = c.decodeIfPresent<Foundation::Date>("estimatedCompletionDate");
  state.isCompleted = c.decode<bool>("isCompleted");
  state.isPaused = c.decode<bool>("isPaused");
  state.phase = c.decodeIfPresent<DownloadPhase>("phase");
  return state;
}

void ContentState::encode(Foundation::Encoder& encoder) const {
  auto c = encoder.container();
  c.encode("currentDownload", currentDownload);
  c.encode("totalDownloads", totalDownloads);
  c.encode("overallProgress", overallProgress);
  c.encode("currentFileName", currentFileName);
  c.encode("appNames", appNames);
  c.encode("totalBytesDownloaded", totalBytesDownloaded);
  c.encode("totalBytesExpected", totalBytesExpected);
  c.encode("bytesPerSecond", bytesPerSecond);
  c.encode("lastUpdateTime", lastUpdateTime);
  c.encodeIfPresent("estimatedCompletionDate", estimatedCompletionDate);
  c.encode("isCompleted", isCompleted);
  c.encode("isPaused", isPaused);
  c.encodeIfPresent("phase", phase);
}

bool operator==(const ContentState& a, const ContentState& b) {
  return a.currentDownload == b.currentDownload && a.totalDownloads == b.totalDownloads &&
         a.overallProgress == b.overallProgress &&
         textEqual(a.currentFileName, b.currentFileName) &&
         std::equal(a.appNames.begin(), a.appNames.end(), b.appNames.begin(), b.appNames.end(),
                    textEqual) &&
         a.totalBytesDownloaded == b.totalBytesDownloaded &&
         a.totalBytesExpected == b.totalBytesExpected && a.bytesPerSecond == b.bytesPerSecond &&
         a.lastUpdateTime == b.lastUpdateTime &&
         a.estimatedCompletionDate == b.estimatedCompletionDate && a.isCompleted == b.isCompleted &&
         a.isPaused == b.isPaused && a.phase == b.phase;
}

void ContentState::hash(Foundation::Hasher& hasher) const {
  hasher.combine(currentDownload);
  hasher.combine(totalDownloads);
  hasher.combine(overallProgress);
  Foundation::hashCanonical(hasher, currentFileName);
  hasher.combine(static_cast<std::uint64_t>(appNames.size()));
  for (const auto& name : appNames) Foundation::hashCanonical(hasher, name);
  hasher.combine(totalBytesDownloaded);
  hasher.combine(totalBytesExpected);
  hasher.combine(bytesPerSecond);
  hasher.combine(lastUpdateTime.timeIntervalSinceReferenceDate);
  hasher.combine(static_cast<std::uint8_t>(estimatedCompletionDate ? 1 : 0));
  if (estimatedCompletionDate)
    hasher.combine(estimatedCompletionDate->timeIntervalSinceReferenceDate);
  hasher.combine(isCompleted);
  hasher.combine(isPaused);
  hasher.combine(static_cast<std::uint8_t>(phase ? 1 : 0));
  if (phase) hasher.combine(rawValue(*phase));
}

DownloadActivityAttributes DownloadActivityAttributes::decode(Foundation::Decoder& decoder) {
  auto c = decoder.container();
  DownloadActivityAttributes attributes;
  attributes.startTime = c.decode<Foundation::Date>("startTime");
  return attributes;
}

void DownloadActivityAttributes::encode(Foundation::Encoder& encoder) const {
  auto c = encoder.container();
  c.encode("startTime", startTime);
}

}  // namespace tolvane
