#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/Result.h"

namespace tolvane {

// The host app's download queue, played: a list of apps that are downloaded
// and imported one after another, with a transfer rate that wanders around
// its nominal value.
//
// The queue is a plain value with no clock of its own: advance() moves it
// on by a number of seconds, so a test steps through a queue of minutes in
// microseconds. Its course, for apps 1…n:
//
//   queued (queuedSeconds) → downloading app 1 → importing app 1 (importSeconds)
//   → downloading app 2 → … → importing app n → completed
//
// While downloading, bytes flow at the nominal rate times (1 + jitter·u),
// where u in [-1, 1] is drawn from the seed alone for every pair of whole
// seconds of the queue's time and taken as +u in the first second of the
// pair and -u in the second, so a queue always runs the same way and every
// pair moves exactly twice the nominal rate. That makes the bytes moved over
// any stretch, and the time a number of bytes takes, a formula rather than
// a walk through the seconds: a step of a year costs what a step of a
// second does. A paused queue lets time pass without moving.
class DownloadQueue {
 public:
  struct App {
    std::string name;
    std::string fileName;
    std::int64_t size = 0;  // bytes, above 0

    static App decode(Foundation::Decoder& decoder);
  };

  // JSON form (only "apps" required; sizes and rates in bytes):
  //   {"apps": [{"name": "Quill", "size": 23068672, "fileName": "quill.pkg"}],
  //    "bytesPerSecond": 25165824, "jitter": 0.25, "seed": 7,
  //    "queuedSeconds": 2, "importSeconds": 2}
  struct Configuration {
    std::vector<App> apps;
    std::int64_t bytesPerSecond = 24 * 1024 * 1024;
    double jitter = 0.25;  // 0 ≤ jitter < 1
    std::int64_t seed = 1;
    double queuedSeconds = 2;
    double importSeconds = 2;

    static Configuration decode(Foundation::Decoder& decoder);
  };

  // Five apps, 575 MB at 24 MB/s: about half a minute.
  static Configuration builtIn();

  // Upper bounds of a description: what a played queue can show, and a
  // queue that ends within a week at its nominal rate.
  static constexpr std::size_t maxApps = 100;
  static constexpr std::size_t maxNameBytes = 256;
  static constexpr std::int64_t maxAppSize = std::int64_t{1} << 44;         // 16 TiB
  static constexpr std::int64_t maxBytesPerSecond = std::int64_t{1} << 40;  // 1 TiB/s
  static constexpr double maxWaitSeconds = 24 * 3600;                       // queued or importing
  static constexpr double maxQueueSeconds = 7 * 24 * 3600;

  // Decodes a description; refuses one whose values make no queue (no
  // apps, a size or rate not above 0, a jitter outside [0, 1), a negative
  // duration) or exceed the bounds above, with the offending key.
  static Foundation::Result<Configuration, std::string> configuration(std::string_view json);

  explicit DownloadQueue(Configuration configuration);

  // Moves the queue on by `seconds` (≥ 0).
  void advance(double seconds);
  // Seconds until the phase or the app under way next changes; nothing
  // while paused or completed.
  std::optional<double> timeToNextChange() const;

  void pause();
  void resume();

  // The phase under way, paused when paused (completed wins).
  DownloadPhase phase() const;
  bool isPaused() const { return paused_; }
  bool isCompleted() const { return segment_ >= segmentCount(); }

  // The transfer rate now: 0 unless bytes flow.
  std::int64_t currentBytesPerSecond() const;
  std::int64_t bytesDownloaded() const;
  std::int64_t bytesExpected() const { return bytesExpected_; }

  // The state that shows the queue at `now`.
  ContentState contentState(Foundation::Date now) const;

  const Configuration& configuration() const { return configuration_; }

 private:
  // Segment 0 is the wait in the queue, then two a app: 2k+1 downloads app
  // k, 2k+2 imports it.
  std::size_t segmentCount() const { return 1 + 2 * configuration_.apps.size(); }
  bool isDownload(std::size_t segment) const { return segment % 2 == 1; }
  std::size_t appIndex() const;
  double rateAt(double clock) const;
  // The jitter's share of the bytes moved from the start of the pair of
  // seconds that holds `clock` (in nominal seconds; 0 at every pair's end).
  double jitterSeconds(double clock) const;
  // Bytes moved from `clock` over `seconds`, and seconds that `bytes` take
  // from `clock`.
  double bytesOver(double clock, double seconds) const;
  double secondsFor(double clock, double bytes) const;
  double remainingInSegment() const;  // bytes or seconds

  Configuration configuration_;
  std::int64_t bytesExpected_ = 0;
  std::size_t segment_ = 0;
  double done_ = 0;         // in the current segment: bytes or seconds
  double bytesBefore_ = 0;  // bytes of the apps already downloaded
  double clock_ = 0;        // seconds the queue has been advanced, paused time included
  bool paused_ = false;
};

}  // namespace tolvane
