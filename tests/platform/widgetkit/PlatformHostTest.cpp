#include "platform/widgetkit/PlatformHost.h"

#include "tests/platform/widgetkit/Parcels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using Foundation::Date;
using WidgetKit::HostedActivity;
using WidgetKit::PlatformHost;

namespace {

using parcels::Outcome;
using parcels::ParcelAttributes;

Outcome run(std::vector<std::string> arguments, const std::string& input = "") {
  return parcels::run(PlatformHost(HostedActivity::make<ParcelAttributes>("ParcelAttributes")),
                      std::move(arguments), input);
}

// One line on the error stream, nothing on the output.
void expectFailure(const Outcome& r, int code, const std::string& line) {
  EXPECT_EQ(r.code, code);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, line + "\n");
}

class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& contents)
      : path_(std::filesystem::temp_directory_path() /
              ("platform-host-test-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) +
               ".json")) {
    std::ofstream(path_, std::ios::binary) << contents;
  }
  ~TemporaryFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

constexpr const char* goodState = R"({"parcels": 2, "labels": ["a/b", "c"], "eta": 2.50})";

}  // namespace

TEST(PlatformHostValidate, AcceptsAValidStateFromStandardInputOrAFile) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"validate"}, std::vector<std::string>{"validate", "-"}}) {
    Outcome r = run(arguments, goodState);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "ok\n");
    EXPECT_EQ(r.err, "");
  }
  TemporaryFile file(goodState);
  EXPECT_EQ(run({"validate", file.path()}).out, "ok\n");
}

TEST(PlatformHostValidate, EncodePrintsTheValueWrittenAgain) {
  Outcome r = run({"validate", "--encode"}, goodState);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "{\"parcels\":2,\"labels\":[\"a\\/b\",\"c\"],\"eta\":2.5}\n");
  Outcome attributes =
      run({"validate", "--attributes", "--encode", "-"}, R"({"sentAt": 818000000.0})");
  EXPECT_EQ(attributes.out, "{\"sentAt\":818000000}\n");
}

TEST(PlatformHostValidate, AttributesAreCheckedOnlyWithTheFlag) {
  expectFailure(run({"validate"}, R"({"sentAt": 1})"), 65,
                R"(error: keyNotFound at []: No value associated with key "parcels".)");
  expectFailure(run({"validate", "--attributes"}, goodState), 65,
                R"(error: keyNotFound at []: No value associated with key "sentAt".)");
  EXPECT_EQ(run({"validate", "--attributes"}, R"({"sentAt": 1})").out, "ok\n");
}

TEST(PlatformHostValidate, UndecodableStatesGiveOneLineAndExit65) {
  expectFailure(
      run({"validate"}, R"({"parcels": 2, "labels": ["a", "b", null]})"), 65,
      R"(error: valueNotFound at ["labels", "Index 2"]: Expected String value but found null instead.)");
  expectFailure(run({"validate"}, ""), 65,
                "error: dataCorrupted at []: The given data was not valid JSON.");
  expectFailure(run({"validate", "--encode"}, "[]"), 65,
                "error: typeMismatch at []: Expected to decode Dictionary<String, Any> but found "
                "an array instead.");
}

TEST(PlatformHostValidate, PayloadLimitIs4096Bytes) {
  // A valid state padded with blanks to exactly the limit passes; one more
  // byte is refused before decoding.
  std::string atLimit = goodState;
  atLimit.resize(4096, ' ');
  EXPECT_EQ(run({"validate"}, atLimit).out, "ok\n");
  expectFailure(run({"validate"}, atLimit + " "), 65,
                "error: payload of 4097 bytes exceeds the limit of 4096 bytes");
}

TEST(PlatformHostValidate, MissingOrUnreadableInputExits66) {
  expectFailure(run({"validate", "/nonexistent/state.json"}), 66,
                "error: cannot read /nonexistent/state.json: No such file or directory");
  std::string directory = std::filesystem::temp_directory_path().string();
  expectFailure(run({"validate", directory}), 66,
                "error: cannot read " + directory + ": Is a directory");
}

TEST(PlatformHostCommandLine, UsageErrorsExit64WithOneLine) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, std::vector<std::string>{"nosuchcommand"},
        std::vector<std::string>{"validate", "--bogus"},
        std::vector<std::string>{"validate", "a.json", "b.json"}}) {
    Outcome r = run(arguments, goodState);
    EXPECT_EQ(r.code, 64);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(PlatformHostCommandLine, EveryCommandHasHelp) {
  Outcome top = run({"--help"});
  EXPECT_EQ(top.code, 0);
  EXPECT_NE(top.out.find("validate"), std::string::npos);
  Outcome validate = run({"validate", "--help"});
  EXPECT_EQ(validate.code, 0);
  EXPECT_NE(validate.out.find("--attributes"), std::string::npos);
  EXPECT_NE(validate.out.find("--encode"), std::string::npos);
  EXPECT_EQ(validate.err, "");
}
