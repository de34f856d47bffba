#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "activity/DownloadLiveActivity.h"
#include "model/DownloadActivityAttributes.h"
#include "platform/activitykit/ActivityCenter.h"
#include "platform/foundation/JSONDecoder.h"

using tolvane::ContentState;

// The sample states of examples/ are what people feed the extension first
// and what the gallery draws, as the program carries them: each must decode,
// fit the platform's payload limit, have a usable id, and a state named
// after a phase must show that phase.
TEST(Examples, EverySampleStateDecodes) {
  const WidgetKit::ActivityPreviews previews = tolvane::DownloadLiveActivity::previews();
  ASSERT_FALSE(previews.states.empty());
  std::set<std::string_view> ids;
  for (const WidgetKit::ActivityPreviewState& sample : previews.states) {
    SCOPED_TRACE(sample.id);
    EXPECT_TRUE(ids.insert(sample.id).second);
    EXPECT_EQ(sample.id.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"),
              std::string_view::npos);
    EXPECT_FALSE(sample.caption.empty());
    EXPECT_LE(sample.json.size(), ActivityKit::ActivityCenter::maximumPayloadSize);
    auto state = Foundation::JSONDecoder().decode<ContentState>(sample.json);
    ASSERT_TRUE(state.ok()) << state.error().debugDescription;
    if (auto named = tolvane::downloadPhase(sample.id)) {
      EXPECT_EQ(state->phase, named);
    }
    if (sample.id == "flags-only-paused") {
      EXPECT_FALSE(state->phase.has_value());
    }
  }
}

TEST(Examples, AttributesExampleDecodes) {
  std::ifstream file(std::string(TOLVANE_SOURCE_DIR) + "/examples/attributes.json",
                     std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), {});
  EXPECT_TRUE(Foundation::JSONDecoder().decode<tolvane::DownloadActivityAttributes>(text).ok());
}
