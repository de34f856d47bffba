#include "platform/ui/drawing/Output.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestImage.h"

namespace SwiftUI::Drawing {
namespace {

namespace fs = std::filesystem;

std::vector<unsigned char> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class OutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("drawing-output-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // 3×2 points at scale 2: opaque blue, red at half opacity, nothing.
  SurfacePtr sample() {
    auto image = renderImage({FillRoundedRect{{0, 0, 1, 2}, 0, RGBA::bytes(0, 0, 255)},
                              FillRoundedRect{{1, 0, 1, 2}, 0, RGBA::bytes(255, 0, 0, 0.5)}},
                             {3, 2}, {2, Appearance::dark});
    return image ? std::move(image).value() : nullptr;
  }

  fs::path dir;
};

TEST_F(OutputTest, PNGRoundTripGivesStraightAlpha) {
  auto image = sample();
  ASSERT_TRUE(image);
  std::vector<unsigned char> png;
  ASSERT_TRUE(encodePNG(image.get(), png));
  const testing::Reference d = testing::decodePNG(std::string(png.begin(), png.end()));
  ASSERT_EQ(d.width, 6);
  ASSERT_EQ(d.height, 4);
  const auto at = [&](int x, int y) { return &d.rgba[static_cast<std::size_t>((y * 6 + x) * 4)]; };
  EXPECT_EQ(std::vector<unsigned char>(at(1, 1), at(1, 1) + 4),
            (std::vector<unsigned char>{0, 0, 255, 255}));
  const unsigned char* red = at(3, 2);
  EXPECT_EQ(red[0], 255);  // not the premultiplied 128
  EXPECT_EQ(red[1], 0);
  EXPECT_NEAR(red[3], 128, 1);
  EXPECT_EQ(at(5, 3)[3], 0);
}

// A regular file is replaced whole, keeping its permissions, with nothing
// left beside it; a missing folder is an error naming the file.
TEST_F(OutputTest, RegularFilesAreReplacedWholeOrNotAtAll) {
  const fs::path target = dir / "picture.png";
  std::ofstream(target) << "old";
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(writeFile(target.string(), "new", 3));
  EXPECT_EQ(readFile(target), (std::vector<unsigned char>{'n', 'e', 'w'}));
  EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  const fs::path missing = dir / "no-such-folder" / "picture.png";
  const auto written = writeFile(missing.string(), "x", 1);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().kind, OutputError::Kind::io);
  EXPECT_NE(written.error().message.find("picture.png"), std::string::npos)
      << written.error().message;
  EXPECT_FALSE(fs::exists(missing));
}

// Links are followed (relative to their folder, through a chain, to a name
// not yet taken) and stay links.
TEST_F(OutputTest, WritesThroughSymbolicLinks) {
  fs::create_directory(dir / "sub");
  fs::create_symlink("target.txt", dir / "sub" / "inner");
  fs::create_symlink("sub/inner", dir / "outer");
  ASSERT_TRUE(writeFile((dir / "outer").string(), "abc", 3));
  EXPECT_TRUE(fs::is_symlink(dir / "outer"));
  EXPECT_TRUE(fs::is_symlink(dir / "sub" / "inner"));
  EXPECT_EQ(readFile(dir / "sub" / "target.txt").size(), 3u);
  fs::create_symlink("loop", dir / "loop");
  EXPECT_FALSE(writeFile((dir / "loop").string(), "x", 1));
}

TEST_F(OutputTest, EncodingFailuresAreReported) {
  auto image = sample();
  // An output that gives up half-way: an error, never success.
  std::size_t accepted = 0;
  const auto rejected = encodePNG(image.get(), [&](const unsigned char*, std::size_t n) {
    accepted += n;
    return accepted < 20;
  });
  ASSERT_FALSE(rejected);
  EXPECT_EQ(rejected.error().kind, OutputError::Kind::io);

  cairo_surface_t* a8 = cairo_image_surface_create(CAIRO_FORMAT_A8, 4, 4);
  std::vector<unsigned char> bytes;
  const auto wrongFormat = encodePNG(a8, bytes);
  cairo_surface_destroy(a8);
  ASSERT_FALSE(wrongFormat);
  EXPECT_EQ(wrongFormat.error().kind, OutputError::Kind::invalidImage);
  EXPECT_TRUE(bytes.empty());

  const auto rendered = renderImage({}, {0, 10}, {});
  ASSERT_FALSE(rendered);
  EXPECT_EQ(rendered.error().kind, OutputError::Kind::rendering);
}

TEST_F(OutputTest, SVGHoldsTheDrawing) {
  const DrawList list{
      FillRoundedRect{{0, 0, 40, 20}, 4, Color::green},
      DrawText{"42%", FontDescriptor::textStyle(TextStyle::caption2), Color::white, {4, 14}, 20}};
  std::string svg;
  ASSERT_TRUE(renderSVG(list, {40, 20}, {}, svg));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("rgb(18.823529%,81.960784%,34.509804%)"), std::string::npos);  // 48,209,88
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

}  // namespace
}  // namespace SwiftUI::Drawing
