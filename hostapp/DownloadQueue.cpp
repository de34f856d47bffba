#include "hostapp/DownloadQueue.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

namespace tolvane {

namespace {

// A step that would finish a segment within this many seconds finishes it:
// the time to the next change is worked out apart from advance(), and the
// two may differ in the last bits.
constexpr double finishTolerance = 1e-7;

// A well-mixed 64-bit value of x (splitmix64's finaliser).
std::uint64_t mix(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

std::string defaultFileName(const std::string& name) {
  std::string file;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte)) {
      file += static_cast<char>(std::tolower(byte));
    } else if (!file.empty() && file.back() != '-') {
      file += '-';
    }
  }
  while (!file.empty() && file.back() == '-') file.pop_back();
  return (file.empty() ? std::string("app") : file) + ".pkg";
}

}  // namespace

DownloadQueue::App DownloadQueue::App::decode(Foundation::Decoder& decoder) {
  auto c = decoder.container();
  App app;
  app.name = c.decode<std::string>("name");
  app.size = c.decode<std::int64_t>("size");
  app.fileName = c.decodeIfPresent<std::string>("fileName").value_or(defaultFileName(app.name));
  return app;
}

DownloadQueue::Configuration DownloadQueue::Configuration::decode(Foundation::Decoder& decoder) {
  auto c = decoder.container();
  Configuration configuration;
  configuration.apps = c.decode<std::vector<App>>("apps");
  if (auto rate = c.decodeIfPresent<std::int64_t>("bytesPerSecond"))
    configuration.bytesPerSecond = *rate;
  if (auto jitter = c.decodeIfPresent<double>("jitter")) configuration.jitter = *jitter;
  if (auto seed = c.decodeIfPresent<std::int64_t>("seed")) configuration.seed = *seed;
  if (auto queued = c.decodeIfPresent<double>("queuedSeconds"))
    configuration.queuedSeconds = *queued;
  if (auto import = c.decodeIfPresent<double>("importSeconds"))
    configuration.importSeconds = *import;
  return configuration;
}

DownloadQueue::Configuration DownloadQueue::builtIn() {
  constexpr std::int64_t MB = 1024 * 1024;
  Configuration configuration;
  configuration.apps = {
      {"Lumen Notes", "lumen-notes.pkg", 48 * MB},
      {"Tidewater", "tidewater.pkg", 120 * MB},
      {"Quill", "quill.pkg", 22 * MB},
      {"Orbit Maps", "orbit-maps.pkg", 310 * MB},
      {"Pebble Chat", "pebble-chat.pkg", 75 * MB},
  };
  return configuration;
}

Foundation::Result<DownloadQueue::Configuration, std::string> DownloadQueue::configuration(
    std::string_view json) {
  auto decoded = Foundation::JSONDecoder().decode<Configuration>(json);
  if (!decoded) {
    const auto& error = decoded.error();
    return std::string(error.kindName()) + " at " +
           Foundation::describeCodingPath(error.codingPath) + ": " + error.debugDescription;
  }
  const Configuration& c = *decoded;
  if (c.apps.empty()) return std::string("apps: a queue needs at least one app");
  if (c.apps.size() > maxApps) return "apps: at most " + std::to_string(maxApps) + " apps";
  double queueSeconds = c.queuedSeconds;
  for (std::size_t i = 0; i < c.apps.size(); ++i) {
    const App& app = c.apps[i];
    const std::string at = "apps[" + std::to_string(i) + "]";
    if (app.size <= 0) return at + ".size: must be above 0";
    if (app.size > maxAppSize)
      return at + ".size: at most " + std::to_string(maxAppSize) + " bytes";
    if (app.name.size() > maxNameBytes)
      return at + ".name: at most " + std::to_string(maxNameBytes) + " bytes";
    if (app.fileName.size() > maxNameBytes) {
      return at + ".fileName: at most " + std::to_string(maxNameBytes) + " bytes";
    }
  }
  if (c.bytesPerSecond <= 0) return std::string("bytesPerSecond: must be above 0");
  if (c.bytesPerSecond > maxBytesPerSecond) {
    return "bytesPerSecond: at most " + std::to_string(maxBytesPerSecond);
  }
  if (!(c.jitter >= 0 && c.jitter < 1))
    return std::string("jitter: must be at least 0 and below 1");
  const auto wait = [](const char* key, double seconds) -> Foundation::Result<void, std::string> {
    if (!(seconds >= 0)) return std::string(key) + ": must not be negative";
    if (!(seconds <= maxWaitSeconds)) return std::string(key) + ": at most 86400 seconds";
    return {};
  };
  if (auto checked = wait("queuedSeconds", c.queuedSeconds); !checked) return checked.error();
  if (auto checked = wait("importSeconds", c.importSeconds); !checked) return checked.error();
  // Sizes are bounded above, so their sum fits with room to spare.
  std::int64_t bytes = 0;
  for (const App& app : c.apps) bytes += app.size;
  queueSeconds += static_cast<double>(bytes) / static_cast<double>(c.bytesPerSecond) +
                  static_cast<double>(c.apps.size()) * c.importSeconds;
  if (queueSeconds > maxQueueSeconds) {
    return "bytesPerSecond: the queue would take " +
           std::to_string(static_cast<std::int64_t>(queueSeconds)) +
           " seconds at this rate; at most a week (604800 seconds)";
  }
  return std::move(decoded).value();
}

DownloadQueue::DownloadQueue(Configuration configuration)
    : configuration_(std::move(configuration)) {
  for (const App& app : configuration_.apps) bytesExpected_ += app.size;
  advance(0);  // steps over segments of no length
}

std::size_t DownloadQueue::appIndex() const {
  if (configuration_.apps.empty()) return 0;
  if (isCompleted()) return configuration_.apps.size() - 1;
  return segment_ == 0 ? 0 : (segment_ - 1) / 2;
}

// u of the pair of seconds that holds `clock`, in [-1, 1).
static double pairJitter(std::int64_t seed, double clock) {
  const auto pair = static_cast<std::uint64_t>(std::floor(std::max(0.0, clock) / 2));
  const std::uint64_t bits = mix(static_cast<std::uint64_t>(seed) ^ mix(pair));
  return static_cast<double>(bits >> 11) * 0x1.0p-53 * 2 - 1;
}

double DownloadQueue::rateAt(double clock) const {
  const double second = std::floor(std::max(0.0, clock));
  const double sign = std::fmod(second, 2) == 0 ? 1 : -1;
  return static_cast<double>(configuration_.bytesPerSecond) *
         (1 + configuration_.jitter * sign * pairJitter(configuration_.seed, clock));
}

double DownloadQueue::jitterSeconds(double clock) const {
  const double c = std::max(0.0, clock);
  const double pairStart = 2 * std::floor(c / 2);
  return configuration_.jitter * pairJitter(configuration_.seed, c) *
         (1 - std::abs(c - pairStart - 1));
}

double DownloadQueue::bytesOver(double clock, double seconds) const {
  const double nominal = static_cast<double>(configuration_.bytesPerSecond);
  return nominal * (seconds + jitterSeconds(clock + seconds) - jitterSeconds(clock));
}

double DownloadQueue::secondsFor(double clock, double bytes) const {
  // The jitter's share is under a second either way, so the end lies
  // within a second or two of the nominal estimate; in each whole second
  // the rate is constant.
  const double nominal = static_cast<double>(configuration_.bytesPerSecond);
  const double estimate = clock + bytes / nominal + jitterSeconds(clock);
  for (double second = std::max(std::floor(clock), std::floor(estimate) - 2);
       second <= std::floor(estimate) + 2; second += 1) {
    const double from = std::max(second, clock);
    const double to = second + 1;
    if (to <= from) continue;
    if (bytesOver(clock, to - clock) + finishTolerance * nominal >= bytes) {
      const double moved = bytesOver(clock, from - clock);
      return std::max(0.0, from - clock + (bytes - moved) / rateAt(from));
    }
  }
  return std::max(0.0, estimate - clock);  // not reached: rounding at the edges
}

double DownloadQueue::remainingInSegment() const {
  if (isCompleted()) return 0;
  if (isDownload(segment_))
    return static_cast<double>(configuration_.apps[appIndex()].size) - done_;
  const double length = segment_ == 0 ? configuration_.queuedSeconds : configuration_.importSeconds;
  return std::max(0.0, length - done_);
}

void DownloadQueue::advance(double seconds) {
  double left = std::max(0.0, seconds);
  while (!isCompleted() && !paused_) {
    const double remaining = remainingInSegment();
    const double need = isDownload(segment_) ? secondsFor(clock_, remaining) : remaining;
    if (need > left + finishTolerance) {
      done_ += isDownload(segment_) ? bytesOver(clock_, left) : left;
      clock_ += left;
      left = 0;
      break;
    }
    const double step = std::min(need, left);
    clock_ += step;
    left -= step;
    if (isDownload(segment_))
      bytesBefore_ += static_cast<double>(configuration_.apps[appIndex()].size);
    ++segment_;
    done_ = 0;
  }
  clock_ += left;  // paused or completed: time passes, nothing moves
}

std::optional<double> DownloadQueue::timeToNextChange() const {
  if (paused_ || isCompleted()) return std::nullopt;
  const double remaining = remainingInSegment();
  return isDownload(segment_) ? secondsFor(clock_, remaining) : remaining;
}

void DownloadQueue::pause() {
  if (!isCompleted()) paused_ = true;
}

void DownloadQueue::resume() {
  paused_ = false;
}

DownloadPhase DownloadQueue::phase() const {
  if (isCompleted()) return DownloadPhase::completed;
  if (paused_) return DownloadPhase::paused;
  if (segment_ == 0) return DownloadPhase::queued;
  return isDownload(segment_) ? DownloadPhase::downloading : DownloadPhase::importing;
}

std::int64_t DownloadQueue::currentBytesPerSecond() const {
  if (phase() != DownloadPhase::downloading) return 0;
  return static_cast<std::int64_t>(std::llround(rateAt(clock_)));
}

std::int64_t DownloadQueue::bytesDownloaded() const {
  if (isCompleted()) return bytesExpected_;
  const double bytes = bytesBefore_ + (isDownload(segment_) ? done_ : 0);
  return std::min(bytesExpected_, static_cast<std::int64_t>(std::floor(bytes)));
}

ContentState DownloadQueue::contentState(Foundation::Date now) const {
  ContentState state;
  const auto count = static_cast<std::int64_t>(configuration_.apps.size());
  state.currentDownload = isCompleted() ? count : static_cast<std::int64_t>(appIndex()) + 1;
  state.totalDownloads = count;
  state.totalBytesDownloaded = bytesDownloaded();
  state.totalBytesExpected = bytesExpected_;
  state.overallProgress = isCompleted()        ? 1.0
                          : bytesExpected_ > 0 ? static_cast<double>(state.totalBytesDownloaded) /
                                                     static_cast<double>(bytesExpected_)
                                               : 0.0;
  if (!configuration_.apps.empty())
    state.currentFileName = configuration_.apps[appIndex()].fileName;
  for (const App& app : configuration_.apps) state.appNames.push_back(app.name);
  state.bytesPerSecond = currentBytesPerSecond();
  state.lastUpdateTime = now;
  if (!paused_ && !isCompleted()) {
    // Bytes left at the nominal rate, plus the waits still to come.
    double seconds = static_cast<double>(bytesExpected_ - state.totalBytesDownloaded) /
                     static_cast<double>(configuration_.bytesPerSecond);
    const std::size_t imports =
        configuration_.apps.size() - appIndex();  // this app's import included
    seconds += static_cast<double>(imports) * configuration_.importSeconds;
    if (segment_ == 0) seconds += remainingInSegment();
    if (!isDownload(segment_) && segment_ != 0) seconds -= done_;
    state.estimatedCompletionDate = now.addingTimeInterval(std::max(0.0, seconds));
  }
  state.isCompleted = isCompleted();
  state.isPaused = paused_;
  state.phase = phase();
  return state;
}

}  // namespace tolvane
