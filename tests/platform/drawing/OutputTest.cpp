#include "platform/ui/drawing/Output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestImage.h"

namespace SwiftUI::Drawing {
namespace {

namespace fs = std::filesystem;
using OutputTest = testing::ScratchDirTest;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// 3×2 points at scale 2: opaque blue, red at half opacity, nothing.
SurfacePtr sample() {
  return testing::draw({FillRoundedRect{{0, 0, 1, 2}, 0, RGBA::bytes(0, 0, 255)},
                        FillRoundedRect{{1, 0, 1, 2}, 0, RGBA::bytes(255, 0, 0, 0.5)}},
                       {3, 2}, 2);
}

TEST_F(OutputTest, PNGRoundTripGivesStraightAlpha) {
  std::vector<unsigned char> png;
  ASSERT_TRUE(encodePNG(sample().get(), png));
  const testing::Reference d = testing::decodePNG(std::string(png.begin(), png.end()));
  ASSERT_EQ(d.width, 6);
  ASSERT_EQ(d.height, 4);
  // Every row: blue, then red (255, not the premultiplied 128), then nothing.
  const std::vector<unsigned char> row{0,   0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 128,
                                       255, 0, 0,   128, 0, 0, 0,   0,   0,   0, 0, 0};
  for (int y = 0; y < 4; ++y)
    EXPECT_TRUE(std::equal(row.begin(), row.end(), d.rgba.begin() + y * 24)) << "row " << y;
}

// A regular file is replaced whole, keeping its permissions, with nothing
// left beside it; a missing folder is an error naming the file.
TEST_F(OutputTest, RegularFilesAreReplacedWholeOrNotAtAll) {
  const fs::path target = dir / "picture.png";
  std::ofstream(target) << "old";
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(writeFile(target.string(), "new", 3));
  EXPECT_EQ(readFile(target), "new");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  const std::string missing = path("no-such-folder/picture.png");
  const auto written = writeFile(missing, "x", 1);
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
  ASSERT_TRUE(writeFile(path("outer"), "abc", 3));
  EXPECT_TRUE(fs::is_symlink(dir / "outer"));
  EXPECT_TRUE(fs::is_symlink(dir / "sub" / "inner"));
  EXPECT_EQ(readFile(dir / "sub" / "target.txt"), "abc");
  fs::create_symlink("loop", dir / "loop");
  EXPECT_FALSE(writeFile(path("loop"), "x", 1));
}

TEST_F(OutputTest, BadCanvasesAndEncodingFailuresAreReported) {
  // An output that gives up half-way: an error, never success.
  std::size_t accepted = 0;
  const auto rejected = encodePNG(sample().get(), [&](const unsigned char*, std::size_t n) {
    accepted += n;
    return accepted < 20;
  });
  ASSERT_FALSE(rejected);
  EXPECT_EQ(rejected.error().kind, OutputError::Kind::io);

  const SurfacePtr a8(cairo_image_surface_create(CAIRO_FORMAT_A8, 4, 4));
  std::vector<unsigned char> bytes;
  const auto wrongFormat = encodePNG(a8.get(), bytes);
  ASSERT_FALSE(wrongFormat);
  EXPECT_EQ(wrongFormat.error().kind, OutputError::Kind::invalidImage);
  EXPECT_TRUE(bytes.empty());

  EXPECT_EQ(renderImage({}, {0, 10}, {}).error().kind, OutputError::Kind::rendering);
  for (Size bad : {Size{0, 10}, {10, -1}, {32768, 1}}) EXPECT_FALSE(pixelSize(bad, 1));
  for (double bad : {0.0, -1.0, std::nan(""), 1e-300, 3300.0})
    EXPECT_FALSE(pixelSize({10, 10}, bad)) << bad;
}

TEST_F(OutputTest, SVGHoldsTheDrawing) {
  std::string svg;
  ASSERT_TRUE(renderSVG({FillRoundedRect{{0, 0, 40, 20}, 4, Color::green}}, {40, 20}, {}, svg));
  EXPECT_NE(svg.find("rgb(18.823529%,81.960784%,34.509804%)"), std::string::npos);  // 48,209,88
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

}  // namespace
}  // namespace SwiftUI::Drawing
