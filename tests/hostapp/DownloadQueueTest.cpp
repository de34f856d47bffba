// The played download queue on its own: its course through the phases,
// the transfer rate's jitter, pausing, and the JSON that describes a queue.
#include "hostapp/DownloadQueue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace {

using tolvane::DownloadPhase;
using tolvane::DownloadQueue;

constexpr std::int64_t MB = 1024 * 1024;

DownloadQueue::Configuration jittery() {
  DownloadQueue::Configuration configuration;
  configuration.apps = {{"A", "a.pkg", 7 * MB}, {"B", "b.pkg", 13 * MB}, {"C", "c.pkg", 3 * MB}};
  configuration.bytesPerSecond = 2 * MB;
  configuration.jitter = 0.5;
  configuration.seed = 42;
  return configuration;
}

// Walks `queue` from change to change to its end: the phase (or the app)
// holds until each change and moves at it. The changes and the time taken.
std::pair<int, double> walk(DownloadQueue& queue) {
  int changes = 0;
  double elapsed = 0;
  for (; changes < 20; ++changes) {
    const auto in = queue.timeToNextChange();
    if (!in) break;
    EXPECT_GT(*in, 0);
    const auto phase = queue.phase();
    const auto app = queue.contentState({}).currentDownload;
    if (*in > 1e-3) {
      queue.advance(*in - 1e-3);
      EXPECT_EQ(queue.phase(), phase);
      queue.advance(1e-3);
    } else {
      queue.advance(*in);
    }
    elapsed += *in;
    EXPECT_TRUE(queue.phase() != phase || queue.contentState({}).currentDownload != app);
  }
  return {changes, elapsed};
}

TEST(DownloadQueue, TheRateWandersWithinTheJitterAndTheSameSeedRunsTheSameWay) {
  auto configuration = jittery();
  configuration.apps.front().size = 100 * MB;  // downloads for more than 30 s
  DownloadQueue queue(configuration), again(configuration);
  std::set<std::int64_t> rates;
  for (int second = 2; second < 7; ++second) {  // from the end of the wait
    queue.advance(second == 2 ? 2 : 1);
    again.advance(second == 2 ? 2 : 1);
    const std::int64_t rate = queue.currentBytesPerSecond();
    EXPECT_GE(rate, 1 * MB);  // 2 MB/s × (1 ± 0.5)
    EXPECT_LE(rate, 3 * MB);
    EXPECT_EQ(rate, again.currentBytesPerSecond());
    rates.insert(rate);
  }
  EXPECT_GT(rates.size(), 1u);
  EXPECT_EQ(queue.bytesDownloaded(), again.bytesDownloaded());
}

TEST(DownloadQueue, SmallStepsAndOneLongStepEndInTheSamePlace) {
  DownloadQueue stepped(jittery()), jumped(jittery());  // mid-way through B
  for (int i = 0; i < 370; ++i) stepped.advance(0.03);
  jumped.advance(11.1);
  EXPECT_EQ(stepped.phase(), jumped.phase());
  EXPECT_NEAR(static_cast<double>(stepped.bytesDownloaded()),
              static_cast<double>(jumped.bytesDownloaded()), 64);
}

TEST(DownloadQueue, PausedTimePassesWithoutProgressAndACompletedQueueCannotPause) {
  DownloadQueue queue(jittery());
  queue.advance(3);
  const auto bytes = queue.bytesDownloaded();
  queue.pause();
  queue.advance(60);
  EXPECT_EQ(queue.bytesDownloaded(), bytes);
  EXPECT_EQ(queue.timeToNextChange(), std::nullopt);
  const auto paused = queue.contentState(Foundation::Date(100));
  EXPECT_EQ(paused.bytesPerSecond, 0);
  EXPECT_EQ(paused.estimatedCompletionDate, std::nullopt);
  queue.resume();

  queue.advance(1000);
  queue.pause();  // too late to pause
  const auto done = queue.contentState(Foundation::Date(5));
  EXPECT_EQ(done.phase, DownloadPhase::completed);
  EXPECT_FALSE(done.isPaused);
  EXPECT_EQ(done.overallProgress, 1.0);
  EXPECT_EQ(done.currentDownload, 3);
}

TEST(DownloadQueue, TheTimeToTheNextChangeIsWhenThePhaseChanges) {
  DownloadQueue queue(jittery());
  EXPECT_EQ(walk(queue).first, 7);  // queued → (downloading → importing) × 3 → completed
  EXPECT_TRUE(queue.isCompleted());
  EXPECT_EQ(queue.bytesDownloaded(), 23 * MB);

  // The longest queue accepted, a week of downloading at a jittery rate:
  // one step of a week, and the walk from change to change, both end it,
  // and neither walks the seconds.
  DownloadQueue::Configuration longest;
  for (int i = 0; i < 3; ++i) longest.apps.push_back({"A", "a.pkg", DownloadQueue::maxAppSize});
  longest.bytesPerSecond = 3 * DownloadQueue::maxAppSize / 600000;
  longest.jitter = 0.9;
  DownloadQueue oneStep(longest), byChange(longest);
  oneStep.advance(DownloadQueue::maxQueueSeconds);
  EXPECT_TRUE(oneStep.isCompleted());
  EXPECT_EQ(oneStep.bytesDownloaded(), 3 * DownloadQueue::maxAppSize);
  const auto [changes, elapsed] = walk(byChange);
  EXPECT_EQ(changes, 7);
  EXPECT_TRUE(byChange.isCompleted());
  EXPECT_NEAR(elapsed, 600000 + 2 + 3 * 2, 2);  // the jitter evens out every two seconds
  EXPECT_GE(byChange.contentState(Foundation::Date(0)).totalBytesExpected, 0);
}

TEST(DownloadQueueConfiguration, ReadsAQueueAndRefusesOnesThatMakeNoQueue) {
  auto queue = DownloadQueue::configuration(
      R"({"apps": [{"name": "Orbit Maps", "size": 1024}], "bytesPerSecond": 512, "jitter": 0})");
  ASSERT_TRUE(queue) << queue.error();
  EXPECT_EQ(queue->apps.front().fileName, "orbit-maps.pkg");
  EXPECT_EQ(queue->bytesPerSecond, 512);
  EXPECT_EQ(queue->importSeconds, 2);  // not given: the default

  const std::pair<const char*, const char*> refused[] = {
      {R"({"apps": []})", "apps: a queue needs at least one app"},
      {R"({"apps": [{"name": "A", "size": 0}]})", "apps[0].size: must be above 0"},
      {R"({"apps": [{"name": "A", "size": 1}], "jitter": 1})",
       "jitter: must be at least 0 and below 1"},
      {R"({"apps": [{"name": "A", "size": 1}], "bytesPerSecond": -1})",
       "bytesPerSecond: must be above 0"},
      {R"({"apps": [{"size": 1}]})",
       "keyNotFound at [\"apps\", \"Index 0\"]: No value associated with key \"name\"."},
      // Bounds: what would never end, overflow a total or wait for ever.
      {R"({"apps": [{"name": "A", "size": 1099511627776}], "bytesPerSecond": 1})",
       "bytesPerSecond: the queue would take 1099511627780 seconds at this rate; at most a week "
       "(604800 seconds)"},
      {R"({"apps": [{"name": "A", "size": 9223372036854775807}, {"name": "B", "size": 9223372036854775807}]})",
       "apps[0].size: at most 17592186044416 bytes"},
      {R"({"apps": [{"name": "A", "size": 1}], "bytesPerSecond": 9223372036854775807})",
       "bytesPerSecond: at most 1099511627776"},
      {R"({"apps": [{"name": "A", "size": 1}], "queuedSeconds": 1e300})",
       "queuedSeconds: at most 86400 seconds"},
      {R"({"apps": [{"name": "A", "size": 1}], "importSeconds": -1})",
       "importSeconds: must not be negative"},
  };
  for (const auto& [json, message] : refused) {
    auto result = DownloadQueue::configuration(json);
    ASSERT_FALSE(result) << json;
    EXPECT_EQ(result.error(), message);
  }
}

}  // namespace
