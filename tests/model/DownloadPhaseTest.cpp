#include "model/DownloadPhase.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"

namespace {

using tolvane::DownloadPhase;

std::string quoted(std::string_view text) {
  return '"' + std::string(text) + '"';
}

TEST(DownloadPhase, EachCaseIsWrittenAsItsNameAndReadBack) {
  const std::pair<DownloadPhase, std::string_view> cases[] = {
      {DownloadPhase::queued, "queued"},
      {DownloadPhase::downloading, "downloading"},
      {DownloadPhase::paused, "paused"},
      {DownloadPhase::importing, "importing"},
      {DownloadPhase::completed, "completed"}};
  for (const auto& [phase, raw] : cases) {
    auto json = Foundation::JSONEncoder().encode(phase);
    ASSERT_TRUE(json.ok());
    EXPECT_EQ(*json, quoted(raw));
    auto back = Foundation::JSONDecoder().decode<DownloadPhase>(*json);
    ASSERT_TRUE(back.ok()) << *json;
    EXPECT_EQ(*back, phase);
  }
}

// Only the exact raw value names a case; any other text is no phase, and
// the decoder refuses it rather than substituting one. (A value that is not
// a string is a type mismatch: the content state's tests cover it.)
TEST(DownloadPhase, OtherTextNamesNoCaseAndDoesNotDecode) {
  for (std::string_view text : {"Paused", "PAUSED", " paused", "paused ", "", "pause", "pausedx"}) {
    EXPECT_EQ(tolvane::downloadPhase(text), std::nullopt) << quoted(text);
    auto result = Foundation::JSONDecoder().decode<DownloadPhase>(quoted(text));
    ASSERT_FALSE(result.ok()) << quoted(text);
    EXPECT_EQ(result.error().kind, Foundation::DecodingError::Kind::dataCorrupted);
  }
  EXPECT_EQ(tolvane::downloadPhase(std::string_view("paused\0", 7)), std::nullopt);
  EXPECT_EQ(Foundation::JSONDecoder().decode<DownloadPhase>(R"("Paused")").error().debugDescription,
            "Cannot initialize DownloadPhase from invalid String value Paused");
}

}  // namespace
