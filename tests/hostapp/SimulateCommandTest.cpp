// simulate, run in-process through the platform host with the download app
// installed: one line per state pushed, frames of every presentation, and
// the errors of its command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "hostapp/DownloadQueueApp.h"
#include "platform/widgetkit/WidgetBundle.h"
#include "platform/widgetkit/play/PlayCommands.h"

namespace {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome simulate(std::vector<std::string> arguments) {
  tolvane::DownloadQueueApp::install();
  WidgetKit::addPlayCommands();
  arguments.insert(arguments.begin(), {"download-app", "simulate"});
  std::istringstream in;
  std::ostringstream out, err;
  const int code = WidgetKit::WidgetBundle::host<tolvane::TolvaneWidgetExtensionBundle>().run(
      arguments, in, out, err);
  return {code, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

class SimulateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("simulate-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    // 10 MB at exactly 10 MB/s after a 1-second wait, imported for 1 second.
    std::ofstream(directory_ / "queue.json")
        << R"({"apps": [{"name": "Quill", "size": 10485760}], "bytesPerSecond": 10485760, "jitter": 0,
              "queuedSeconds": 1, "importSeconds": 1})";
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }
  std::string path(const char* name) const { return (directory_ / name).string(); }

  std::filesystem::path directory_;
};

TEST_F(SimulateCommand, PrintsALineAndDrawsFramesPerStateUntilTheQueueCompletes) {
  const Outcome run = simulate({path("queue.json"), "--speed", "10", "--frames", path("frames")});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto printed = lines(run.out);
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
  std::size_t shape = 0;  // how many shapes have been seen
  for (const std::string& line : printed) {
    if (shape != 3 || !std::regex_match(line, shapes[2])) ++shape;
    ASSERT_LE(shape, 5u) << run.out;
    EXPECT_TRUE(std::regex_match(line, shapes[shape - 1])) << line;
  }
  EXPECT_EQ(shape, 5u) << run.out;

  // Four presentations a state, numbered from 1, one state a line.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path("frames")))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 4 * (printed.size() - 1));
  EXPECT_EQ(names.front(), "0001-compact.png");
  char last[32];
  std::snprintf(last, sizeof last, "%04zu-minimal.png", names.size() / 4);
  EXPECT_EQ(names.back(), last);
  std::ifstream frame(path("frames") + "/0002-lock-screen.png", std::ios::binary);
  std::string head(4, '\0');
  frame.read(head.data(), 4);
  EXPECT_EQ(head, "\x89PNG");
}

TEST_F(SimulateCommand, TheLargestAcceptedQueuesFinishAtTheHighestSpeed) {
  // A week of bytes, a hundred apps with the longest waits: each ends in
  // real seconds at a million times real time, and bytes never go negative.
  std::ofstream(path("week.json"))
      << R"({"apps": [{"name": "A", "size": 17592186044416}], "bytesPerSecond": 29087843, "jitter": 0.99})";
  std::string many = R"({"apps": [)";
  for (int i = 0; i < 100; ++i) many += std::string(i ? "," : "") + R"({"name": "A", "size": 1})";
  std::ofstream(path("many.json")) << many + R"(], "importSeconds": 5000, "queuedSeconds": 86400})";
  for (const char* queue : {"week.json", "many.json"}) {
    const Outcome run = simulate({path(queue), "--speed", "1000000"});
    EXPECT_EQ(run.code, 0) << queue << run.err;
    EXPECT_NE(run.out.find("Done"), std::string::npos)
        << queue << run.out.substr(run.out.size() - 300);
    EXPECT_EQ(run.out.find("-"), std::string::npos) << queue;
  }
}

TEST_F(SimulateCommand, RefusesABadQueueAndBadOptions) {
  std::ofstream(path("empty.json")) << R"({"apps": []})";
  const Outcome run = simulate({path("empty.json"), "--speed", "200"});
  EXPECT_EQ(run.code, 65);
  EXPECT_EQ(run.err, "error: apps: a queue needs at least one app\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(simulate({path("missing.json")}).code, 66);
  for (const char* speed : {"0", "-1", "nan", "fast"})
    EXPECT_EQ(simulate({"--speed", speed}).code, 64) << speed;
}

}  // namespace
