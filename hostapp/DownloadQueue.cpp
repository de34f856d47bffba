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
  if (auto rate = c.decodeIfPresent<std::int64_t>("bytesPerSecond")) configuration.bytesPerSecond = *rate;
  if (auto jitter = c.decodeIfPresent<double>("jitter")) configuration.jitter = *jitter;
  if (auto seed = c.decodeIfPresent<std::int64_t>("seed")) configuration.seed = *seed;
  if (auto queued = c.decodeIfPresent<double>("queuedSeconds")) configuration.queuedSeconds = *queued;
  if (auto import = c.decodeIfPresent<double>("importSeconds")) configuration.importSeconds = *import;
  return configuration;
}

DownloadQueue::Configuration DownloadQueue::builtIn() {
  constexpr std::int64_t MB = 1024 * 1024;
  Configuration configuration;
  configuration.apps = {
      {"Lumen Notes", "lumen-notes.pkg", 48 * MB},  {"Tidewater", "tidewater.pkg", 120 * MB},
      {"Quill", "quill.pkg", 22 * MB},              {"Orbit Maps", "orbit-maps.pkg", 310 * MB},
      {"Pebble Chat", "pebble-chat.pkg", 75 * MB},
  };
  return configuration;
}

Foundation::Result<DownloadQueue::Configuration, std::string> DownloadQueue::configuration(std::string_view json) {
  auto decoded = Foundation::JSONDecoder().decode<Configuration>(json);
  if (!decoded) {
    const auto& error = decoded.error();
    return std::string(error.kindName()) + " at " + Foundation::describeCodingPath(error.codingPath) + ": " +
           error.debugDescription;
  }
  const Configuration& c = *decoded;
  if (c.apps.empty()) return std::string("apps: a queue needs at least one app");
  for (std::size_t i = 0; i < c.apps.size(); ++i) {
    if (c.apps[i].size <= 0) return "apps[" + std::to_string(i) + "].size: must be above 0";
  }
  if (c.bytesPerSecond <= 0) return std::string("bytesPerSecond: must be above 0");
  if (!(c.jitter >= 0 && c.jitter < 1)) return std::string("jitter: must be at least 0 and below 1");
  if (!(c.queuedSeconds >= 0)) return std::string("queuedSeconds: must not be negative");
  if (!(c.importSeconds >= 0)) return std::string("importSeconds: must not be negative");
  return std::move(decoded).value();
}

DownloadQueue::DownloadQueue(Configuration configuration) : configuration_(std::move(configuration)) {
  for (const App& app : configuration_.apps) bytesExpected_ += app.size;
  advance(0);  // steps over segments of no length
}

std::size_t DownloadQueue::appIndex() const {
  if (configuration_.apps.empty()) return 0;
  if (isCompleted()) return configuration_.apps.size() - 1;
  return segment_ == 0 ? 0 : (segment_ - 1) / 2;
}

double DownloadQueue::rateAt(double clock) const {
  const auto second = static_cast<std::uint64_t>(std::floor(std::max(0.0, clock)));
  const std::uint64_t bits = mix(static_cast<std::uint64_t>(configuration_.seed) ^ mix(second));
  const double u = static_cast<double>(bits >> 11) * 0x1.0p-53 * 2 - 1;  // [-1, 1)
  return static_cast<double>(configuration_.bytesPerSecond) * (1 + configuration_.jitter * u);
}

double DownloadQueue::remainingInSegment() const {
  if (isCompleted()) return 0;
  if (isDownload(segment_)) return static_cast<double>(configuration_.apps[appIndex()].size) - done_;
  const double length = segment_ == 0 ? configuration_.queuedSeconds : configuration_.importSeconds;
  return std::max(0.0, length - done_);
}

void DownloadQueue::advance(double seconds) {
  double left = std::max(0.0, seconds);
  const auto nextSegment = [this] {
    if (isDownload(segment_)) bytesBefore_ += static_cast<double>(configuration_.apps[appIndex()].size);
    ++segment_;
    done_ = 0;
  };
  while (!isCompleted() && !paused_) {
    const double remaining = remainingInSegment();
    if (isDownload(segment_)) {
      const double rate = rateAt(clock_);
      const double toSecond = std::floor(clock_) + 1 - clock_;
      const double need = remaining / rate;
      if (need <= std::min(left, toSecond) + finishTolerance) {
        const double step = std::min(need, left);
        clock_ += step;
        left -= step;
        nextSegment();
      } else if (left <= 0) {
        break;
      } else {
        const double step = std::min(left, toSecond);
        done_ += rate * step;
        clock_ += step;
        left -= step;
      }
    } else if (remaining <= left + finishTolerance) {
      const double step = std::min(remaining, left);
      clock_ += step;
      left -= step;
      nextSegment();
    } else {
      done_ += left;
      clock_ += left;
      left = 0;
      break;
    }
  }
  clock_ += left;  // paused or completed: time passes, nothing moves
}

std::optional<double> DownloadQueue::timeToNextChange() const {
  if (paused_ || isCompleted()) return std::nullopt;
  double remaining = remainingInSegment();
  if (!isDownload(segment_)) return remaining;
  double clock = clock_;
  double elapsed = 0;
  for (;;) {
    const double rate = rateAt(clock);
    const double toSecond = std::floor(clock) + 1 - clock;
    const double need = remaining / rate;
    if (need <= toSecond) return elapsed + need;
    remaining -= rate * toSecond;
    elapsed += toSecond;
    clock += toSecond;
  }
}

void DownloadQueue::pause() {
  if (!isCompleted()) paused_ = true;
}

void DownloadQueue::resume() { paused_ = false; }

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
  state.overallProgress = isCompleted() ? 1.0
                          : bytesExpected_ > 0
                              ? static_cast<double>(state.totalBytesDownloaded) / static_cast<double>(bytesExpected_)
                              : 0.0;
  if (!configuration_.apps.empty()) state.currentFileName = configuration_.apps[appIndex()].fileName;
  for (const App& app : configuration_.apps) state.appNames.push_back(app.name);
  state.bytesPerSecond = currentBytesPerSecond();
  state.lastUpdateTime = now;
  if (!paused_ && !isCompleted()) {
    // Bytes left at the nominal rate, plus the waits still to come.
    double seconds = static_cast<double>(bytesExpected_ - state.totalBytesDownloaded) /
                     static_cast<double>(configuration_.bytesPerSecond);
    const std::size_t imports = configuration_.apps.size() - appIndex();  // this app's import included
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
