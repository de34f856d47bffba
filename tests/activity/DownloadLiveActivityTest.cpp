// The widget's configuration (deep link, keyline by phase) and the program's
// describe command on a bundled example.
#include "activity/DownloadLiveActivity.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "platform/host/PlatformHost.h"
#include "tests/presentation/PhaseVocabulary.h"

namespace {

TEST(DynamicIsland, LinksToTheDownloadsAndTintsTheKeylineByPhase) {
  const auto configuration = tolvane::DownloadLiveActivity().body();
  for (const tolvane::testing::PhaseState& row : tolvane::testing::phaseStates) {
    const WidgetKit::DynamicIsland island = configuration.dynamicIsland({row.applied({}), {}, {}});
    EXPECT_EQ(island.widgetURLValue(), "plumara://downloads");
    EXPECT_EQ(island.keylineTintValue(), tolvane::testing::wordsOf(row.shown).color) << row.name();
  }
}

TEST(DescribeCommand, PinnedNowStartsTheCountDown) {
  // downloading.json estimates completion at 818004055.5: 330 s after now.
  std::istringstream in;
  std::ostringstream out, err;
  const int code = Host::PlatformHost::forBundle<tolvane::TolvaneWidgetExtensionBundle>().run(
      {"TolvaneWidgetExtensionExtension", "describe",
       std::string(TOLVANE_SOURCE_DIR) + "/examples/downloading.json", "--now", "818003725.5"},
      in, out, err);
  ASSERT_EQ(code, 0) << err.str();
  EXPECT_NE(out.str().find(R"("kind":"timer","text":"5:30")"), std::string::npos);
  EXPECT_NE(out.str().find(R"("widgetURL":"plumara://downloads","keylineTint":{"name":"blue"}})"),
            std::string::npos);
}

}  // namespace
