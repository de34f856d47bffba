#include "model/DownloadPhase.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"

namespace {

using tolvane::DownloadPhase;
using Kind = Foundation::DecodingError::Kind;

TEST(DownloadPhase, EachCaseIsWrittenAsItsNameAndReadBack) {
  const std::pair<DownloadPhase, std::string_view> cases[] = {
      {DownloadPhase::queued, "queued"},
      {DownloadPhase::downloading, "downloading"},
      {DownloadPhase::paused, "paused"},
      {DownloadPhase::importing, "importing"},
      {DownloadPhase::completed, "completed"}};
  for (const auto& [phase, raw] : cases) {
    EXPECT_EQ(tolvane::rawValue(phase), raw);
    EXPECT_EQ(tolvane::downloadPhase(raw), phase);
    auto json = Foundation::JSONEncoder().encode(phase);
    ASSERT_TRUE(json.ok());
    std::string quoted(1, '"');
    quoted.append(raw).push_back('"');
    EXPECT_EQ(*json, quoted);
    auto back = Foundation::JSONDecoder().decode<DownloadPhase>(*json);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, phase);
  }
}

// Only the exact raw value names a case; any other text is no phase, and
// the decoder refuses it rather than substituting one.
TEST(DownloadPhase, OtherTextNamesNoCaseAndDoesNotDecode) {
  for (std::string_view text : {"Paused", "PAUSED", " paused", "paused ", "", "pause", "pausedx"}) {
    EXPECT_EQ(tolvane::downloadPhase(text), std::nullopt) << '"' << text << '"';
    std::string json(1, '"');
    json.append(text).push_back('"');
    auto result = Foundation::JSONDecoder().decode<DownloadPhase>(json);
    ASSERT_FALSE(result.ok()) << json;
    EXPECT_EQ(result.error().kind, Kind::dataCorrupted) << json;
  }
  EXPECT_EQ(tolvane::downloadPhase(std::string_view("paused\0", 7)), std::nullopt);
  EXPECT_EQ(Foundation::JSONDecoder().decode<DownloadPhase>(R"("Paused")").error().debugDescription,
            "Cannot initialize DownloadPhase from invalid String value Paused");
  for (std::string_view json : {"2", "true", "[\"paused\"]", "{}"}) {
    EXPECT_EQ(Foundation::JSONDecoder().decode<DownloadPhase>(json).error().kind,
              Kind::typeMismatch)
        << json;
  }
}

}  // namespace
