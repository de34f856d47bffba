// The audit of the extension's own presentations, with states of the
// test's own: what it finds where a person looking at the picture would,
// what it leaves alone, and the command's baseline and exit codes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "platform/host/Audit.h"
#include "platform/host/PlatformHost.h"
#include "platform/ui/drawing/Contrast.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "tests/platform/host/RunHost.h"

namespace Host {
namespace {

namespace D = SwiftUI::Drawing;

const HostedActivity& activity() {
  static const HostedActivity hosted =
      WidgetBundle::hostedActivity<tolvane::TolvaneWidgetExtensionBundle>();
  return hosted;
}

constexpr double now = 818003725.5;

std::string stateJSON(const std::string& phase, const std::string& appName, int total = 1) {
  return R"({"currentDownload": 1, "totalDownloads": )" + std::to_string(total) +
         R"(, "overallProgress": 0.4, "currentFileName": "a.ipa", "appNames": [")" + appName +
         R"("], "totalBytesDownloaded": 1503238553, "totalBytesExpected": 3579139413,
  "bytesPerSecond": 6291456, "lastUpdateTime": 818003725.5,
  "estimatedCompletionDate": 818004055.5, "isCompleted": false, "isPaused": false,
  "phase": ")" +
         phase + R"("})";
}

std::vector<Finding> audit(const std::string& json, PresentationKind kind,
                           const PictureVariant& variant) {
  static const D::PangoTextMeasurer measurer;
  AuditSubject subject{"s", *activity().presentContentState(json, Foundation::Date(now)),
                       Foundation::Date(now)};
  return auditSubjects(measurer, {subject}, {kind}, {variant}).findings;
}

constexpr PictureVariant light{.appearance = D::Appearance::light};
constexpr PictureVariant accessibility3{.textSize = D::DynamicTypeSize::accessibility3};
constexpr PictureVariant accessibility5{.textSize = D::DynamicTypeSize::accessibility5};

TEST(Audit, FindsWhatAPersonSeesAndNothingElse) {
  const std::string longName =
      "Meridian Designer 2 – Professional Vector Graphics Suite for Illustrators";
  struct Case {
    const char* what;
    std::string json;
    PictureVariant variant;
    FindingKind kind;
    std::string text;  // the element's text; empty for the badge's button
    bool found;
  };
  const Case cases[] = {
      {"orange label on the light card", stateJSON("paused", "Quill"), light, FindingKind::contrast,
       "Paused", true},
      {"black title on the light card", stateJSON("paused", "Quill"), light, FindingKind::contrast,
       "Quill", false},
      {"long title",
       stateJSON("downloading", longName),
       {},
       FindingKind::truncated,
       longName,
       true},
      {"short title",
       stateJSON("downloading", "Quill"),
       {},
       FindingKind::truncated,
       "Quill",
       false},
      {"bytes below the edge", stateJSON("downloading", "Quill"), accessibility3,
       FindingKind::clipped, "1.4 GB / 3.33 GB", true},
      {"bytes at the default size",
       stateJSON("downloading", "Quill"),
       {},
       FindingKind::clipped,
       "1.4 GB / 3.33 GB",
       false},
      {"status word split", stateJSON("downloading", "Quill", 5), accessibility5,
       FindingKind::brokenWord, "Downloading (1/5)", true},
      {"downloading badge",
       stateJSON("downloading", "Quill"),
       {},
       FindingKind::tapTarget,
       "",
       true},
      {"completed badge", stateJSON("completed", "Quill"), {}, FindingKind::tapTarget, "", false},
  };
  for (const Case& c : cases) {
    const auto findings = audit(c.json, PresentationKind::lockScreen, c.variant);
    const auto found = std::find_if(findings.begin(), findings.end(), [&](const Finding& f) {
      return f.kind == c.kind && f.text.value_or("") == c.text;
    });
    ASSERT_EQ(found != findings.end(), c.found) << c.what;
    if (!c.found) continue;
    switch (c.kind) {
      case FindingKind::contrast:
        EXPECT_LT(found->measured, 4.5) << c.what;
        EXPECT_EQ(found->required, 4.5) << c.what;
        break;
      case FindingKind::truncated:
        EXPECT_TRUE(found->shown->ends_with("…")) << *found->shown;
        EXPECT_LT(found->shown->size(), c.text.size());
        break;
      case FindingKind::clipped: EXPECT_GT(found->hidden, clipTolerance); break;
      case FindingKind::brokenWord: EXPECT_GE(found->lines.size(), 2u); break;
      case FindingKind::tapTarget:
        EXPECT_EQ(found->frame.width, 28);
        EXPECT_EQ(found->frame.height, 28);
        EXPECT_TRUE(found->element.ends_with("Button[0]")) << found->element;
        break;
    }
  }
}

TEST(Audit, ContrastIsWCAGsOverWhatIsDrawn) {
  struct Case {
    D::RGBA a, b;
    double ratio;
  } cases[] = {
      {D::RGBA::bytes(255, 255, 255), D::RGBA::bytes(0, 0, 0), 21},
      {D::RGBA::bytes(118, 118, 118), D::RGBA::bytes(255, 255, 255), 4.54},
      // The paused label on the light card, as its pixels were read.
      {D::RGBA::bytes(255, 149, 0), D::RGBA::bytes(154, 153, 161), 1.28},
      {D::over(D::RGBA::bytes(0, 0, 0, 0.5), D::RGBA::bytes(255, 255, 255)),
       D::RGBA::bytes(128, 128, 128), 1.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(D::contrastRatio(c.a, c.b), c.ratio, 0.01) << c.ratio;
    EXPECT_NEAR(D::contrastRatio(c.b, c.a), c.ratio, 0.01) << c.ratio;
  }
}

class AuditCommand : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(dir); }
  parcels::Outcome run(std::vector<std::string> arguments, const std::string& input = "") const {
    arguments.insert(arguments.begin(), "audit");
    return parcels::run(PlatformHost(activity()), arguments, input);
  }
  std::string write(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name) << text;
    return (dir / name).string();
  }
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("audit-test-" + std::to_string(::getpid()));
};

TEST_F(AuditCommand, ExitsByWhatLiesOutsideTheBaseline) {
  const std::string paused = stateJSON("paused", "Quill");
  const std::vector<std::string> lightLock = {
      "-",           "--presentation", "lock-screen", "--appearance", "light",
      "--text-size", "large",          "--screen",    "393x852"};
  const auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = lightLock;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const std::string baseline = (dir / "baseline.json").string();
  std::filesystem::create_directories(dir);
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::string input;
    int code;
  } cases[] = {
      {"findings, no baseline", lightLock, paused, 1},
      {"nothing found", {"-", "--presentation", "minimal"}, paused, 0},
      {"recorded", with({"--write-baseline", baseline}), paused, 0},
      {"all accepted", with({"--baseline", baseline}), paused, 0},
      {"a new one", with({"--baseline", baseline}), stateJSON("paused", std::string(60, 'W')), 1},
      {"unknown variant", {"--appearance", "sepia"}, "", 64},
      {"undecodable state", {"-"}, "{", 65},
      {"broken baseline", {"-", "--baseline", write("bad.json", "{\"findings\": 3}")}, paused, 65},
      {"missing state", {(dir / "none.json").string()}, "", 66},
      {"missing baseline", {"-", "--baseline", (dir / "none.json").string()}, paused, 66},
  };
  for (const Case& c : cases) {
    const parcels::Outcome r = run(c.arguments, c.input);
    EXPECT_EQ(r.code, c.code) << c.what << "\n" << r.err;
  }
}

// A state's name comes from its path: a newline in it cannot start a line
// of its own in the text report.
TEST_F(AuditCommand, ANameCannotBreakAReportLine) {
  const std::string path = write("a\nchanged x.json", stateJSON("paused", std::string(60, 'W')));
  const parcels::Outcome r = run({path, "--presentation", "lock-screen", "--appearance", "light",
                                  "--text-size", "large", "--screen", "393x852"});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(r.out.find("\nchanged x.json"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("a\\nchanged x.json"), std::string::npos) << r.out;
  // The summary: a name wider than its column keeps a space after it; one
  // presentation is counted as one.
  EXPECT_NE(r.out.find("a\\nchanged x.json lock-screen"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" in 1 presentation\n"), std::string::npos) << r.out;
}

TEST_F(AuditCommand, ReportsRecordedFindingsThatAreGone) {
  const std::string entry =
      R"({"findings": [{"state": "-", "presentation": "minimal", "kind": "clipped",
          "element": "minimal/ZStack", "variants": ["dark/large/393x852"]}]})";
  const parcels::Outcome r =
      run({"-", "--presentation", "minimal", "--text-size", "large", "--screen", "393x852",
           "--appearance", "dark", "--format", "json", "--baseline", write("gone.json", entry)},
          stateJSON("paused", "Quill"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(
      r.out.find(
          R"("gone":[{"state":"-","presentation":"minimal","variant":"dark/large/393x852","kind":"clipped","element":"minimal/ZStack"}])"),
      std::string::npos)
      << r.out;
}

}  // namespace
}  // namespace Host
