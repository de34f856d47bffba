// The host's validate command and its command line: what a good state
// prints, and one error line with the right exit code for anything else.
#include "platform/host/PlatformHost.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/platform/host/RunHost.h"
#include "tests/platform/widgetkit/Parcels.h"

namespace {

using parcels::Outcome;

Outcome run(std::vector<std::string> arguments, const std::string& input = "") {
  return parcels::run(
      Host::PlatformHost(WidgetKit::HostedActivity::make<parcels::ParcelAttributes>("Parcels")),
      std::move(arguments), input);
}

const std::string goodState = R"({"parcels": 2, "labels": ["a/b", "c"], "eta": 2.50})";

// The state padded with blanks to exactly the payload limit.
std::string atLimit() {
  std::string padded = goodState;
  padded.resize(4096, ' ');
  return padded;
}

// `line` is the whole output, nothing on the error stream.
void expectOutput(const Outcome& r, const std::string& line) {
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, line + "\n");
  EXPECT_EQ(r.err, "");
}

// One line on the error stream, nothing on the output.
void expectFailure(const Outcome& r, int code, const std::string& line) {
  EXPECT_EQ(r.code, code);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "error: " + line + "\n");
}

TEST(PlatformHostValidate, PrintsOkOrTheValueWrittenAgain) {
  const std::string file = (std::filesystem::temp_directory_path() /
                            ("platform-host-" + std::to_string(::getpid()) + ".json"))
                               .string();
  std::ofstream(file) << goodState;
  expectOutput(run({"validate"}, goodState), "ok");
  expectOutput(run({"validate", "-"}, goodState), "ok");
  expectOutput(run({"validate", file}), "ok");
  std::filesystem::remove(file);
  expectOutput(run({"validate"}, atLimit()), "ok");
  expectOutput(run({"validate", "--encode"}, goodState),
               R"({"parcels":2,"labels":["a\/b","c"],"eta":2.5})");
  expectOutput(run({"validate", "--attributes", "--encode", "-"}, R"({"sentAt": 818000000.0})"),
               R"({"sentAt":818000000})");
  expectOutput(run({"validate", "--attributes"}, R"({"sentAt": 1})"), "ok");
}

TEST(PlatformHostValidate, BadInputIsOneLineAndAnExitCode) {
  // Attributes are checked only with the flag.
  expectFailure(run({"validate"}, R"({"sentAt": 1})"), 65,
                R"(keyNotFound at []: No value associated with key "parcels".)");
  expectFailure(run({"validate", "--attributes"}, goodState), 65,
                R"(keyNotFound at []: No value associated with key "sentAt".)");
  expectFailure(
      run({"validate"}, R"({"parcels": 2, "labels": ["a", "b", null]})"), 65,
      R"(valueNotFound at ["labels", "Index 2"]: Expected String value but found null instead.)");
  // One byte over the limit is refused before decoding.
  expectFailure(run({"validate"}, atLimit() + " "), 65,
                "payload of 4097 bytes exceeds the limit of 4096 bytes");
  expectFailure(run({"validate", "/nonexistent/state.json"}), 66,
                "cannot read /nonexistent/state.json: No such file or directory");
  // What a message quotes stays on its line.
  expectFailure(run({"validate", "/nonexistent/a\nerror: b"}), 66,
                "cannot read /nonexistent/a\\nerror: b: No such file or directory");
  const std::string directory = std::filesystem::temp_directory_path().string();
  expectFailure(run({"validate", directory}), 66, "cannot read " + directory + ": Is a directory");
  // Usage errors: the wording is the parser's, the form is ours.
  using Arguments = std::vector<std::vector<std::string>>;
  for (const auto& arguments : Arguments{{},
                                         {"nosuchcommand"},
                                         {"validate", "--bogus"},
                                         {"validate", "a.json", "b.json"},
                                         {"validate", "--bogus\nerror: forged"}}) {
    const Outcome r = run(arguments, goodState);
    EXPECT_EQ(r.code, 64);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(PlatformHostCommandLine, EveryCommandHasHelp) {
  const Outcome top = run({"--help"});
  EXPECT_EQ(top.code, 0);
  EXPECT_NE(top.out.find("validate"), std::string::npos);
  const Outcome validate = run({"validate", "--help"});
  EXPECT_EQ(validate.code, 0);
  EXPECT_NE(validate.out.find("--attributes"), std::string::npos);
  EXPECT_NE(validate.out.find("--encode"), std::string::npos);
  EXPECT_EQ(validate.err, "");
}

}  // namespace
