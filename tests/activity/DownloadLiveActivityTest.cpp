// The widget's configuration (deep link, keyline by phase) and the program's
// describe command on a bundled example.
#include "activity/DownloadLiveActivity.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "platform/widgetkit/WidgetBundle.h"

namespace {

using namespace SwiftUI;
using tolvane::ContentState;
using tolvane::DownloadPhase;

ContentState makeState(std::optional<DownloadPhase> phase, bool isCompleted, bool isPaused) {
  ContentState state;
  state.overallProgress = 0.5;
  state.isCompleted = isCompleted;
  state.isPaused = isPaused;
  state.phase = phase;
  return state;
}

struct PhaseCase {
  std::optional<DownloadPhase> phase;
  bool isCompleted;
  bool isPaused;
  Color keyline;
};
const PhaseCase phaseCases[] = {
    {DownloadPhase::queued, false, false, Color::secondary},
    {DownloadPhase::paused, false, false, Color::orange},
    {DownloadPhase::importing, false, false, Color::purple},
    {DownloadPhase::completed, false, false, Color::green},
    {std::nullopt, false, true, Color::orange},
    {std::nullopt, false, false, Color::blue},
};

TEST(DynamicIsland, LinksToTheDownloadsAndTintsTheKeylineByPhase) {
  const auto configuration = tolvane::DownloadLiveActivity().body();
  for (const PhaseCase& c : phaseCases) {
    const tolvane::DownloadActivityViewContext context{
        makeState(c.phase, c.isCompleted, c.isPaused), {}};
    const WidgetKit::DynamicIsland island = configuration.dynamicIsland(context);
    EXPECT_EQ(island.widgetURLValue(), "plumara://downloads");
    EXPECT_EQ(island.keylineTintValue(), c.keyline);
  }
}

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

Outcome run(std::vector<std::string> arguments, const std::string& input = "") {
  arguments.insert(arguments.begin(), "TolvaneWidgetExtensionExtension");
  std::istringstream in(input);
  std::ostringstream out, err;
  int code = WidgetKit::WidgetBundle::host<tolvane::TolvaneWidgetExtensionBundle>().run(
      arguments, in, out, err);
  return {code, out.str(), err.str()};
}

std::string example(const std::string& name) {
  return std::string(TOLVANE_SOURCE_DIR) + "/examples/" + name;
}

TEST(DescribeCommand, PinnedNowStartsTheCountDownAndSlashesStayPlain) {
  // downloading.json estimates completion at 818004055.5: 330 s after now.
  const Outcome r = run({"describe", example("downloading.json"), "--now", "818003725.5"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find(R"("kind":"timer","text":"5:30")"), std::string::npos);
  EXPECT_NE(r.out.find(R"("widgetURL":"plumara://downloads","keylineTint":{"name":"blue"}})"),
            std::string::npos);
  EXPECT_NE(r.out.find(R"({"activityBackgroundTint":{"name":"black","opacity":0.3}},)"
                       R"({"activitySystemActionForegroundColor":{"name":"white"}}])"),
            std::string::npos);
}

}  // namespace
