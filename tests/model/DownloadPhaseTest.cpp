#include "model/DownloadPhase.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"

using tolvane::DownloadPhase;
using Kind = Foundation::DecodingError::Kind;

namespace {

struct Case {
  DownloadPhase phase;
  std::string_view raw;
};
constexpr Case everyCase[] = {{DownloadPhase::queued, "queued"},
                              {DownloadPhase::downloading, "downloading"},
                              {DownloadPhase::paused, "paused"},
                              {DownloadPhase::importing, "importing"},
                              {DownloadPhase::completed, "completed"}};

}  // namespace

TEST(DownloadPhase, RawValueIsTheCaseName) {
  for (const Case& c : everyCase) {
    EXPECT_EQ(tolvane::rawValue(c.phase), c.raw);
    EXPECT_EQ(tolvane::downloadPhase(c.raw), c.phase);
  }
  EXPECT_EQ(tolvane::rawValue(DownloadPhase::importing).size(), 9u);
}

TEST(DownloadPhase, OnlyTheExactRawValueNamesACase) {
  for (std::string_view text : {"Downloading", "DOWNLOADING", " downloading", "downloading ", "", "download",
                                "downloadingx", "Paused"}) {
    EXPECT_EQ(tolvane::downloadPhase(text), std::nullopt) << '"' << text << '"';
  }
  EXPECT_EQ(tolvane::downloadPhase(std::string_view("paused\0", 7)), std::nullopt);
}

TEST(DownloadPhase, EqualityAndHashFollowTheCase) {
  EXPECT_EQ(DownloadPhase::paused, DownloadPhase::paused);
  for (const Case& c : everyCase) {
    if (c.phase != DownloadPhase::paused) {
      EXPECT_NE(DownloadPhase::paused, c.phase);
    }
    // A phase hashes as its raw value string.
    EXPECT_EQ(std::hash<DownloadPhase>{}(c.phase), std::hash<std::string_view>{}(c.raw));
  }
}

TEST(DownloadPhaseCoding, WrittenAsOneStringAndReadBack) {
  for (const Case& c : everyCase) {
    auto json = Foundation::JSONEncoder().encode(c.phase);
    ASSERT_TRUE(json.ok());
    EXPECT_EQ(*json, "\"" + std::string(c.raw) + "\"");
    auto back = Foundation::JSONDecoder().decode<DownloadPhase>(*json);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, c.phase);
  }
}

TEST(DownloadPhaseCoding, TextNamingNoCaseIsDataCorrupted) {
  for (std::string_view json : {R"("Paused")", R"("PAUSED")", R"(" paused")", R"("paused ")", R"("")"}) {
    auto result = Foundation::JSONDecoder().decode<DownloadPhase>(json);
    ASSERT_FALSE(result.ok()) << json;
    EXPECT_EQ(result.error().kind, Kind::dataCorrupted) << json;
  }
  EXPECT_EQ(Foundation::JSONDecoder().decode<DownloadPhase>(R"("Paused")").error().debugDescription,
            "Cannot initialize DownloadPhase from invalid String value Paused");
}

TEST(DownloadPhaseCoding, ANonStringIsTypeMismatch) {
  for (std::string_view json : {"2", "true", "[\"paused\"]", "{}"}) {
    auto result = Foundation::JSONDecoder().decode<DownloadPhase>(json);
    ASSERT_FALSE(result.ok()) << json;
    EXPECT_EQ(result.error().kind, Kind::typeMismatch) << json;
  }
}
