// simulate, run in-process through the platform host with the download app
// installed: one line per state pushed, frames of every presentation, and
// the errors of its command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "hostapp/DownloadQueueApp.h"
#include "platform/host/PlatformHost.h"
#include "platform/host/play/PlayCommands.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

// download-app COMMAND ARGUMENTS, in-process.
Outcome play(const char* command, std::vector<std::string> arguments) {
  tolvane::DownloadQueueApp::install();
  Host::addPlayCommands();
  arguments.insert(arguments.begin(), {"download-app", command});
  std::istringstream in;
  std::ostringstream out, err;
  const int code = Host::PlatformHost::forBundle<tolvane::TolvaneWidgetExtensionBundle>().run(
      arguments, in, out, err);
  return {code, out.str(), err.str()};
}
Outcome simulate(std::vector<std::string> arguments) {
  return play("simulate", std::move(arguments));
}

class SimulateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }
  // `name` in the test's own directory, first written with `text` if given.
  std::string path(const char* name, const std::string& text = "") const {
    if (!text.empty()) std::ofstream(directory_ / name) << text;
    return (directory_ / name).string();
  }

  const fs::path directory_ =
      fs::temp_directory_path() /
      ("simulate-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

TEST_F(SimulateCommand, PrintsALineAndDrawsFramesPerStateUntilTheQueueCompletes) {
  // 10 MB at exactly 10 MB/s after a 1-second wait, imported for 1 second.
  const auto queue = path("queue.json", R"({"apps": [{"name": "Quill", "size": 10485760}],
      "bytesPerSecond": 10485760, "jitter": 0, "queuedSeconds": 1, "importSeconds": 1})");
  const Outcome run = simulate({queue, "--speed", "10", "--frames", path("frames")});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // started and queued at 0, downloading at 1 s (and each second while it
  // lasts), importing at 2 s, done at 3 s. The times printed are the live
  // clock's, and a late timer merges pushes, so neither is pinned here.
  // The lines' shapes in order: one each, downloading one or more.
  const std::string at = R"(\[ +\d+\.\ds\] )";
  const std::regex shapes[] = {
      std::regex(at + "started: Quill"), std::regex(at + R"(Queued \| 0% \| Queued)"),
      std::regex(at + R"(Downloading \| \d+% \| 10 MB/s( \| 0:0\d)? \| .* / 10 MB)"),
      std::regex(at + R"(Importing \| 100% \| Importing)"),
      std::regex(at + R"(Done \| 100% \| Done)")};
  std::size_t shape = 0, states = 0;  // how many shapes and states have been seen
  std::istringstream printed(run.out);
  for (std::string line; std::getline(printed, line); states += shape > 1) {
    if (shape != 3 || !std::regex_match(line, shapes[2])) ++shape;
    ASSERT_LE(shape, 5u) << run.out;
    EXPECT_TRUE(std::regex_match(line, shapes[shape - 1])) << line;
  }
  EXPECT_EQ(shape, 5u) << run.out;

  // Four presentations a state, numbered from 1.
  EXPECT_EQ(std::distance(fs::directory_iterator(path("frames")), fs::directory_iterator()),
            static_cast<std::ptrdiff_t>(4 * states));
  for (std::size_t state = 1; state <= states; ++state) {
    for (const char* presentation : {"lock-screen", "expanded", "compact", "minimal"}) {
      char name[40];
      std::snprintf(name, sizeof name, "/%04zu-%s.png", state, presentation);
      EXPECT_TRUE(fs::exists(path("frames") + name)) << name;
    }
  }
  std::string head(4, '\0');
  std::ifstream(path("frames") + "/0002-lock-screen.png", std::ios::binary).read(head.data(), 4);
  EXPECT_EQ(head, "\x89PNG");
}

TEST_F(SimulateCommand, TheLargestAcceptedQueuesFinishAtTheHighestSpeed) {
  // A week of bytes, a hundred apps with the longest waits: each ends in
  // real seconds at a million times real time, and bytes never go negative.
  std::string many = R"({"apps": [)";
  for (int i = 0; i < 100; ++i) many += std::string(i ? "," : "") + R"({"name": "A", "size": 1})";
  for (
      const auto& queue :
      {path(
           "week.json",
           R"({"apps": [{"name": "A", "size": 17592186044416}], "bytesPerSecond": 29087843, "jitter": 0.99})"),
       path("many.json", many + R"(], "importSeconds": 5000, "queuedSeconds": 86400})")}) {
    const Outcome run = simulate({queue, "--speed", "1000000"});
    EXPECT_EQ(run.code, 0) << queue << run.err;
    EXPECT_NE(run.out.find("Done"), std::string::npos)
        << queue << run.out.substr(run.out.size() - 300);
    EXPECT_EQ(run.out.find("-"), std::string::npos) << queue;
  }
}

TEST_F(SimulateCommand, RefusesABadQueueAndBadOptions) {
  const Outcome run = simulate({path("empty.json", R"({"apps": []})"), "--speed", "200"});
  EXPECT_EQ(run.code, 65);
  EXPECT_EQ(run.err, "error: apps: a queue needs at least one app\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(simulate({path("missing.json")}).code, 66);
}

// One range for --speed: each bound is accepted and what lies just past it
// refused, the same by simulate and serve. An accepted speed lets each go on
// to fail on something else (a missing queue, a bad address), so neither
// runs.
TEST_F(SimulateCommand, SimulateAndServeAcceptTheSameSpeeds) {
  const std::pair<const char*, bool> speeds[] = {
      {"0.001", true},        {"1000000", true}, {"1e6", true}, {"0.000999", false},
      {"1000000.001", false}, {"0", false},      {"-1", false}, {"nan", false},
      {"inf", false},         {"fast", false},   {"1 ", false},
  };
  const std::string refusal = "error: --speed: needs a number from 0.001 to 1000000, not ";
  for (const auto& [speed, accepted] : speeds) {
    const Outcome simulated = simulate({path("missing.json"), "--speed", speed});
    const Outcome served = play("serve", {"--listen", "nowhere", "--speed", speed});
    EXPECT_EQ(simulated.err.rfind(accepted ? "error: cannot read" : refusal, 0), 0u)
        << speed << simulated.err;
    EXPECT_EQ(served.err.rfind(accepted ? "error: --listen" : refusal, 0), 0u)
        << speed << served.err;
    EXPECT_EQ(simulated.code, accepted ? 66 : 64) << speed;
    EXPECT_EQ(served.code, 64) << speed;
  }
}

}  // namespace
