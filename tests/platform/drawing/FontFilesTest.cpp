#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "TestImage.h"
#include "platform/ui/drawing/PangoFonts.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"

namespace SwiftUI::Drawing {
namespace {

// The font files this process has mapped.
std::set<std::string> mappedFontFiles() {
  std::set<std::string> files;
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    const std::size_t slash = line.find('/');
    if (slash == std::string::npos) continue;
    const std::string path = line.substr(slash);
    for (const char* suffix : {".otf", ".ttf", ".ttc"}) {
      if (path.ends_with(suffix)) files.insert(path);
    }
  }
  return files;
}

// The family named in a font file.
std::string familyOf(const std::string& path) {
  std::string family;
  int count = 0;
  if (FcPattern* pattern =
          FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), 0, nullptr, &count)) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(pattern, FC_FAMILY, 0, &name) == FcResultMatch) {
      family = reinterpret_cast<const char*>(name);
    }
    FcPatternDestroy(pattern);
  }
  return family;
}

// Every test runs in a process of its own, so the fonts mapped here are this
// test's alone.
TEST(FontFiles, OnlyTheFontsDrawnWithAreLoaded) {
  const std::string text = "\U0001F4F8 Snapshot";  // the emoji font, then the text font
  const FontDescriptor font = FontDescriptor::textStyle(TextStyle::headline);
  const PangoTextMeasurer measurer;
  EXPECT_GT(measurer.measure(text, font).width, 0);
  ASSERT_TRUE(testing::draw({DrawText{text, font, RGBA::bytes(0, 0, 0), {2, 20}, 0}}, {200, 30}));

  // The emoji font is the one font outside our text families: the sample
  // text Pango measures it with is set in ours, not in the system's default.
  const std::set<std::string> files = mappedFontFiles();
  ASSERT_FALSE(files.empty());
  int others = 0;
  for (const std::string& path : files) {
    const std::string family = familyOf(path);
    if (family != detail::textFamily && family != detail::displayFamily) ++others;
  }
  EXPECT_EQ(others, 1) << ::testing::PrintToString(files);
}

}  // namespace
}  // namespace SwiftUI::Drawing
