#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "model/DownloadActivityAttributes.h"
#include "platform/foundation/JSONDecoder.h"

using tolvane::ContentState;
using tolvane::DownloadPhase;

namespace {

std::string example(const std::string& name) {
  std::ifstream file(std::string(TOLVANE_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

}  // namespace

// The bundled examples are what people feed the extension first; each must
// decode, fit the platform's payload limit, and show the phase it is named
// after.
TEST(Examples, EachPhaseExampleDecodesWithItsPhase) {
  struct Case {
    const char* file;
    std::optional<DownloadPhase> phase;
  };
  for (const Case& c : {Case{"queued.json", DownloadPhase::queued}, Case{"downloading.json", DownloadPhase::downloading},
                        Case{"paused.json", DownloadPhase::paused}, Case{"importing.json", DownloadPhase::importing},
                        Case{"completed.json", DownloadPhase::completed}, Case{"flags-only.json", std::nullopt}}) {
    std::string text = example(c.file);
    ASSERT_FALSE(text.empty()) << c.file;
    EXPECT_LE(text.size(), 4096u) << c.file;
    auto state = Foundation::JSONDecoder().decode<ContentState>(text);
    ASSERT_TRUE(state.ok()) << c.file << ": " << state.error().debugDescription;
    EXPECT_EQ(state->phase, c.phase) << c.file;
  }
}

TEST(Examples, FlagsOnlyExampleIsPausedWithoutPhaseOrEstimate) {
  auto state = Foundation::JSONDecoder().decode<ContentState>(example("flags-only.json"));
  ASSERT_TRUE(state.ok());
  EXPECT_TRUE(state->isPaused);
  EXPECT_FALSE(state->isCompleted);
  EXPECT_FALSE(state->estimatedCompletionDate.has_value());
}

TEST(Examples, AttributesExampleDecodes) {
  auto attributes = Foundation::JSONDecoder().decode<tolvane::DownloadActivityAttributes>(example("attributes.json"));
  ASSERT_TRUE(attributes.ok());
  EXPECT_EQ(attributes->startTime, Foundation::Date(818003590.75));
}
