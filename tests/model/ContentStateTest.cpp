#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
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
// record's declaration order; tests replace or drop keys.
using Fields = std::vector<std::pair<std::string, std::string>>;

Fields typicalFields() {
  return {{"currentDownload", "2"},
          {"totalDownloads", "5"},
          {"overallProgress", "0.42"},
          {"currentFileName", R"("Lantern.ipa")"},
          {"appNames", R"(["Lantern", "Tallies", "Quill"])"},
          {"totalBytesDownloaded", "314572800"},
          {"totalBytesExpected", "748683264"},
          {"bytesPerSecond", "5242880"},
          {"lastUpdateTime", "818000000"},
          {"estimatedCompletionDate", "818000082.5"},
          {"isCompleted", "false"},
          {"isPaused", "false"},
          {"phase", R"("downloading")"}};
}

const std::vector<std::string> requiredKeys = {
    "currentDownload",    "totalDownloads", "overallProgress",
    "currentFileName",    "appNames",       "totalBytesDownloaded",
    "totalBytesExpected", "bytesPerSecond", "lastUpdateTime",
    "isCompleted",        "isPaused"};

Fields with(Fields fields, const std::string& key, const std::string& value) {
  for (auto& field : fields) {
    if (field.first == key) field.second = value;
  }
  return fields;
}

Fields without(Fields fields, const std::string& key) {
  std::erase_if(fields, [&](const auto& field) { return field.first == key; });
  return fields;
}

std::string json(const Fields& fields) {
  std::string out = "{";
  for (const auto& [key, value] : fields) {
    if (out.size() > 1) out += ", ";
    out += "\"" + key + "\": " + value;
  }
  return out + "}";
}

ContentState typicalState() {
  ContentState state;
  state.currentDownload = 2;
  state.totalDownloads = 5;
  state.overallProgress = 0.42;
  state.currentFileName = "Lantern.ipa";
  state.appNames = {"Lantern", "Tallies", "Quill"};
  state.totalBytesDownloaded = 314572800;
  state.totalBytesExpected = 748683264;
  state.bytesPerSecond = 5242880;
  state.lastUpdateTime = Date(818000000);
  state.estimatedCompletionDate = Date(818000082.5);
  state.isCompleted = false;
  state.isPaused = false;
  state.phase = DownloadPhase::downloading;
  return state;
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

// MARK: - Decoding what the host app sends

TEST(ContentStateDecoding, KeyOrderDoesNotMatter) {
  Fields fields = typicalFields();
  std::reverse(fields.begin(), fields.end());
  auto state = JSONDecoder().decode<ContentState>(json(fields));
  ASSERT_TRUE(state.ok());
  EXPECT_EQ(*state, typicalState());
}

TEST(ContentStateDecoding, OptionalsAreAbsentWhenMissingOrNullAndNeverFilledIn) {
  for (const std::string& absent : {std::string("missing"), std::string("null")}) {
    Fields fields = with(with(typicalFields(), "isPaused", "true"), "isCompleted", "true");
    fields = absent == "missing"
                 ? without(without(fields, "phase"), "estimatedCompletionDate")
                 : with(with(fields, "phase", "null"), "estimatedCompletionDate", "null");
    auto state = JSONDecoder().decode<ContentState>(json(fields));
    ASSERT_TRUE(state.ok()) << absent;
    EXPECT_FALSE(state->phase.has_value()) << absent;
    EXPECT_FALSE(state->estimatedCompletionDate.has_value()) << absent;
  }
}

TEST(ContentStateDecoding, EmptyAppNamesAndUnrelatedFieldsAreKeptAsSent) {
  Fields fields = with(typicalFields(), "appNames", "[]");
  fields = with(with(fields, "currentDownload", "9"), "totalDownloads", "3");
  fields = with(with(fields, "overallProgress", "-1.5"), "totalBytesExpected", "-1");
  fields = with(with(fields, "isCompleted", "true"), "phase", R"("queued")");
  auto state = JSONDecoder().decode<ContentState>(json(fields));
  ASSERT_TRUE(state.ok());
  EXPECT_TRUE(state->appNames.empty());
  EXPECT_EQ(state->currentDownload, 9);
  EXPECT_EQ(state->overallProgress, -1.5);
  EXPECT_EQ(state->totalBytesExpected, -1);
  EXPECT_TRUE(state->isCompleted);
  EXPECT_EQ(state->phase, DownloadPhase::queued);
}

// MARK: - Rejected states: one error kind and path each

TEST(ContentStateRejection, EachMissingRequiredKeyIsNamed) {
  for (const std::string& key : requiredKeys) {
    expectError(decodeError(json(without(typicalFields(), key))), Kind::keyNotFound, {});
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
    expectError(decodeError(json(with(typicalFields(), key, value))), Kind::typeMismatch, {key});
  }
}

// MARK: - Encoding

TEST(ContentStateEncoding, WritesKeysInDeclarationOrder) {
  auto text = JSONEncoder().encode(typicalState());
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(
      *text,
      R"({"currentDownload":2,"totalDownloads":5,"overallProgress":0.42,"currentFileName":"Lantern.ipa",)"
      R"("appNames":["Lantern","Tallies","Quill"],"totalBytesDownloaded":314572800,)"
      R"("totalBytesExpected":748683264,"bytesPerSecond":5242880,"lastUpdateTime":818000000,)"
      R"("estimatedCompletionDate":818000082.5,"isCompleted":false,"isPaused":false,"phase":"downloading"})");
}

TEST(ContentStateEncoding, AbsentOptionalsAreLeftOut) {
  ContentState state = typicalState();
  state.phase.reset();
  state.estimatedCompletionDate.reset();
  auto text = JSONEncoder().encode(state);
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text->find("phase"), std::string::npos);
  EXPECT_EQ(text->find("estimatedCompletionDate"), std::string::npos);
  EXPECT_EQ(text->find("null"), std::string::npos);
}

// MARK: - Equality and hashing

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

TEST(ContentStateEquality, SignedZeroProgressIsEqualAndHashesEqual) {
  ContentState positive = typicalState();
  ContentState negative = typicalState();
  positive.overallProgress = 0.0;
  negative.overallProgress = -0.0;
  EXPECT_EQ(positive, negative);
  EXPECT_EQ(hashOf(positive), hashOf(negative));
}

TEST(ContentStateEquality, NaNProgressEqualsNothing) {
  ContentState state = typicalState();
  state.overallProgress = std::nan("");
  EXPECT_NE(state, state);
  EXPECT_NE(state, typicalState());
}

TEST(ContentStateEquality, CanonicallyEquivalentTextsAreEqualAndHashEqual) {
  ContentState composed = typicalState();
  ContentState decomposed = typicalState();
  composed.currentFileName = "Caf\xc3\xa9.ipa";     // é as U+00E9
  decomposed.currentFileName = "Cafe\xcc\x81.ipa";  // e + U+0301
  composed.appNames[0] = "R\xc3\xa9sum\xc3\xa9";
  decomposed.appNames[0] = "Re\xcc\x81sume\xcc\x81";
  EXPECT_EQ(composed, decomposed);
  EXPECT_EQ(hashOf(composed), hashOf(decomposed));
  // Texts that only look alike are not equal.
  decomposed.currentFileName = "Cafe.ipa";
  EXPECT_NE(composed, decomposed);
}

TEST(ContentStateEquality, AppNamesAreNotJoinedWhenHashed) {
  ContentState split = typicalState();
  ContentState joined = typicalState();
  split.appNames = {"ab", "c"};
  joined.appNames = {"a", "bc"};
  EXPECT_NE(split, joined);
  EXPECT_NE(hashOf(split), hashOf(joined));
}

// MARK: - Attributes

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
