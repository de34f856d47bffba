#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"

using Foundation::CodingPath;
using Foundation::Date;
using Foundation::DecodingError;
using Foundation::JSONDecoder;
using Foundation::JSONEncoder;
using tolvane::ContentState;
using tolvane::DownloadActivityAttributes;
using tolvane::DownloadPhase;
using Kind = Foundation::DecodingError::Kind;

namespace {

// A content state as the host app sends it, one key at a time, in the
// record's declaration order and in the encoder's compact form; tests
// replace or drop keys.
using Fields = std::vector<std::pair<std::string, std::string>>;

const Fields typicalFields = {{"currentDownload", "2"},
                              {"totalDownloads", "5"},
                              {"overallProgress", "0.42"},
                              {"currentFileName", R"("Lantern.ipa")"},
                              {"appNames", R"(["Lantern","Tallies","Quill"])"},
                              {"totalBytesDownloaded", "314572800"},
                              {"totalBytesExpected", "748683264"},
                              {"bytesPerSecond", "5242880"},
                              {"lastUpdateTime", "818000000"},
                              {"estimatedCompletionDate", "818000082.5"},
                              {"isCompleted", "false"},
                              {"isPaused", "false"},
                              {"phase", R"("downloading")"}};

bool isOptional(const std::string& key) {
  return key == "estimatedCompletionDate" || key == "phase";
}

// The typical fields with some values replaced.
Fields with(const Fields& changes) {
  Fields fields = typicalFields;
  for (auto& [key, value] : fields) {
    for (const auto& [changedKey, changedValue] : changes)
      if (key == changedKey) value = changedValue;
  }
  return fields;
}

Fields without(Fields fields, const std::string& key) {
  std::erase_if(fields, [&](const auto& field) { return field.first == key; });
  return fields;
}

std::string json(const Fields& fields) {
  std::string out = "{";
  for (const auto& [key, value] : fields)
    out += (out.size() > 1 ? ",\"" : "\"") + key + "\":" + value;
  return out + "}";
}

// The typical fields, set one by one.
ContentState typicalState() {
  return {.currentDownload = 2,
          .totalDownloads = 5,
          .overallProgress = 0.42,
          .currentFileName = "Lantern.ipa",
          .appNames = {"Lantern", "Tallies", "Quill"},
          .totalBytesDownloaded = 314572800,
          .totalBytesExpected = 748683264,
          .bytesPerSecond = 5242880,
          .lastUpdateTime = Date(818000000),
          .estimatedCompletionDate = Date(818000082.5),
          .isCompleted = false,
          .isPaused = false,
          .phase = DownloadPhase::downloading};
}

std::string encoded(const ContentState& state) {
  auto text = JSONEncoder().encode(state);
  EXPECT_TRUE(text.ok());
  return text.ok() ? *text : std::string();
}

DecodingError decodeError(const std::string& text) {
  auto result = JSONDecoder().decode<ContentState>(text);
  EXPECT_FALSE(result.ok()) << text;
  return result.ok() ? DecodingError{} : result.error();
}

void expectError(const DecodingError& error, Kind kind, const CodingPath& path) {
  EXPECT_EQ(DecodingError::name(error.kind), DecodingError::name(kind)) << error.debugDescription;
  EXPECT_EQ(Foundation::describeCodingPath(error.codingPath), Foundation::describeCodingPath(path));
}

std::size_t hashOf(const ContentState& state) {
  return std::hash<ContentState>{}(state);
}

}  // namespace

// Written in declaration order, read in any order, and kept as sent: values
// that make no sense together are neither refused nor mended.
TEST(ContentStateCoding, RoundTripsWhateverTheOrderAndTheValues) {
  EXPECT_EQ(encoded(typicalState()), json(typicalFields));
  const Fields reversed(typicalFields.rbegin(), typicalFields.rend());
  auto state = JSONDecoder().decode<ContentState>(json(reversed));
  ASSERT_TRUE(state.ok());
  EXPECT_EQ(*state, typicalState());

  const Fields odd = with({{"currentDownload", "9"},
                           {"totalDownloads", "3"},
                           {"overallProgress", "-1.5"},
                           {"appNames", "[]"},
                           {"totalBytesExpected", "-1"},
                           {"isCompleted", "true"},
                           {"phase", R"("queued")"}});
  auto oddState = JSONDecoder().decode<ContentState>(json(odd));
  ASSERT_TRUE(oddState.ok());
  EXPECT_EQ(encoded(*oddState), json(odd));
}

// Optionals missing or null are absent, never filled in from the flags, and
// absent ones are left out of the output rather than written as null.
TEST(ContentStateCoding, OptionalsAbsentWhenMissingOrNullAndThenLeftOut) {
  const Fields flags = with({{"isCompleted", "true"}, {"isPaused", "true"}});
  const Fields missing = without(without(flags, "phase"), "estimatedCompletionDate");
  Fields nulls = flags;
  for (auto& [key, value] : nulls)
    if (isOptional(key)) value = "null";
  for (const Fields& fields : {missing, nulls}) {
    auto state = JSONDecoder().decode<ContentState>(json(fields));
    ASSERT_TRUE(state.ok()) << json(fields);
    EXPECT_FALSE(state->phase.has_value());
    EXPECT_FALSE(state->estimatedCompletionDate.has_value());
    EXPECT_EQ(encoded(*state), json(missing));
  }
}

TEST(ContentStateRejection, EachMissingRequiredKeyIsNamed) {
  for (const auto& [key, value] : typicalFields) {
    if (isOptional(key)) continue;
    const DecodingError error = decodeError(json(without(typicalFields, key)));
    expectError(error, Kind::keyNotFound, {});
    EXPECT_EQ(error.debugDescription, "No value associated with key \"" + key + "\".");
  }
}

TEST(ContentStateRejection, WrongTypes) {
  const std::pair<std::string, std::string> wrong[] = {
      {"currentDownload", R"("2")"},
      {"overallProgress", R"("0.42")"},
      {"currentFileName", "7"},
      {"appNames", R"("Lantern")"},
      {"lastUpdateTime", R"("2026-12-06T10:00:00Z")"},
      {"estimatedCompletionDate", "true"},
      {"isCompleted", "0"},
      {"isPaused", R"("false")"},
      {"phase", "2"}};
  for (const auto& [key, value] : wrong) {
    expectError(decodeError(json(with({{key, value}}))), Kind::typeMismatch, {key});
  }
}

TEST(ContentStateEquality, EveryFieldTakesPart) {
  std::vector<std::function<void(ContentState&)>> changes = {
      [](ContentState& s) { s.currentDownload = 3; },
      [](ContentState& s) { s.totalDownloads = 6; },
      [](ContentState& s) { s.overallProgress = 0.43; },
      [](ContentState& s) { s.currentFileName = "Tallies.ipa"; },
      [](ContentState& s) { s.appNames.pop_back(); },
      [](ContentState& s) { s.appNames.push_back(""); },
      [](ContentState& s) { s.appNames[1] = "numbers"; },
      [](ContentState& s) { s.totalBytesDownloaded += 1; },
      [](ContentState& s) { s.totalBytesExpected -= 1; },
      [](ContentState& s) { s.bytesPerSecond = 0; },
      [](ContentState& s) { s.lastUpdateTime = Date(818000000.001); },
      [](ContentState& s) { s.estimatedCompletionDate.reset(); },
      [](ContentState& s) { s.estimatedCompletionDate = Date(818000083); },
      [](ContentState& s) { s.isCompleted = true; },
      [](ContentState& s) { s.isPaused = true; },
      [](ContentState& s) { s.phase.reset(); },
      [](ContentState& s) { s.phase = DownloadPhase::paused; },
  };
  const ContentState base = typicalState();
  EXPECT_EQ(base, typicalState());
  EXPECT_EQ(hashOf(base), hashOf(typicalState()));
  for (std::size_t i = 0; i < changes.size(); ++i) {
    ContentState changed = base;
    changes[i](changed);
    EXPECT_NE(changed, base) << "change " << i;
    EXPECT_NE(base, changed) << "change " << i;
  }
}

// Equal states hash equal; texts compare by canonical equivalence, progress
// as a double, and the app names one by one.
TEST(ContentStateEquality, PairsThatMustAndMustNotCompareEqual) {
  const auto named = [](std::string file, std::vector<std::string> apps, double progress = 0.42) {
    ContentState state = typicalState();
    state.currentFileName = std::move(file);
    state.appNames = std::move(apps);
    state.overallProgress = progress;
    return state;
  };
  const std::tuple<ContentState, ContentState, bool> pairs[] = {
      {named("a", {}, 0.0), named("a", {}, -0.0), true},
      // é as U+00E9 and as e + U+0301.
      {named("Caf\xc3\xa9", {"R\xc3\xa9sum\xc3\xa9"}),
       named("Cafe\xcc\x81", {"Re\xcc\x81sume\xcc\x81"}), true},
      {named("Caf\xc3\xa9", {}), named("Cafe", {}), false},
      {named("a", {"ab", "c"}), named("a", {"a", "bc"}), false},
  };
  for (const auto& [a, b, equal] : pairs) {
    EXPECT_EQ(a == b, equal) << a.currentFileName << " " << a.overallProgress;
    EXPECT_EQ(hashOf(a) == hashOf(b), equal) << a.currentFileName << " " << a.overallProgress;
  }
  // NaN equals nothing, not even itself.
  const ContentState nan = named("a", {}, std::nan(""));
  EXPECT_NE(nan, nan);
  EXPECT_NE(nan, named("a", {}));
}

TEST(DownloadActivityAttributesCoding, StartTimeIsARequiredDate) {
  auto attributes =
      JSONDecoder().decode<DownloadActivityAttributes>(R"({"startTime": 817999000.5, "other": 1})");
  ASSERT_TRUE(attributes.ok());
  EXPECT_EQ(attributes->startTime, Date(817999000.5));
  EXPECT_EQ(*JSONEncoder().encode(*attributes), R"({"startTime":817999000.5})");
  auto errorOf = [](std::string_view text) {
    return JSONDecoder().decode<DownloadActivityAttributes>(text).error();
  };
  expectError(errorOf("{}"), Kind::keyNotFound, {});
  expectError(errorOf(R"({"startTime": "2026-12-06"})"), Kind::typeMismatch, {"startTime"});
}
