#include "platform/ui/drawing/ImageCompare.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "TestImage.h"

namespace SwiftUI::Drawing {
namespace {

namespace fs = std::filesystem;
using testing::pixelAt;

// A 40 × 30 picture: a ring, a bar and a text, antialiased edges and all.
SurfacePtr picture(const DrawList& extra = {}) {
  DrawList list{
      FillRoundedRect{{0, 0, 40, 30}, 0, RGBA::bytes(20, 20, 24)},
      StrokeCircle{{12, 12}, 8, 0, 0.7, StrokeStyle{3, LineCap::round}, Color::blue},
      DrawProgressBar{{2, 24, 36, 4}, 0.4, Color::green, std::nullopt},
  };
  list.insert(list.end(), extra.begin(), extra.end());
  return testing::draw(list, {40, 30});
}

class ImageCompareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("image-compare-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string write(cairo_surface_t* image, const std::string& name) {
    const std::string path = (dir / name).string();
    std::vector<unsigned char> png;
    EXPECT_TRUE(encodePNG(image, png));
    EXPECT_TRUE(writeFile(path, png.data(), png.size()));
    return path;
  }

  fs::path dir;
};

TEST_F(ImageCompareTest, APictureMatchesItselfReadBackFromPNG) {
  const SurfacePtr a = picture();
  const std::string path = write(a.get(), "a.png");
  const auto read = readPNG(path);
  ASSERT_TRUE(read) << read.error();
  // Through straight alpha and back, a translucent pixel may move by one.
  const ImageDifference d = compareImages(a.get(), read->get(), 1);
  EXPECT_TRUE(d.matches());
  EXPECT_LE(d.largestDifference, 1);

  const auto same = comparePNGFiles(path, path, (dir / "diff.png").string());
  ASSERT_TRUE(same) << same.error();
  EXPECT_TRUE(same->matches());
  EXPECT_EQ(same->largestDifference, 0);
  EXPECT_FALSE(fs::exists(dir / "diff.png"));
}

TEST_F(ImageCompareTest, AChangedBlockIsCountedAndShownInTheDiff) {
  const SurfacePtr before = picture();
  const SurfacePtr after = picture({FillRoundedRect{{30, 2, 6, 4}, 0, RGBA::bytes(255, 149, 0)}});
  const std::string diffPath = (dir / "diff.png").string();
  const auto d =
      comparePNGFiles(write(before.get(), "before.png"), write(after.get(), "after.png"), diffPath);
  ASSERT_TRUE(d) << d.error();
  EXPECT_FALSE(d->matches());
  EXPECT_FALSE(d->sizesDiffer);
  EXPECT_EQ(d->differingPixels, 24u);
  EXPECT_EQ(d->largestDifference, 235);

  const auto read = readPNG(diffPath);
  ASSERT_TRUE(read) << read.error();
  cairo_surface_t* diff = read->get();
  EXPECT_EQ(cairo_image_surface_get_width(diff), 40);
  const auto red = [](testing::Pixel p) {
    return p.r == 255 && p.g == 0 && p.b == 0 && p.a == 255;
  };
  EXPECT_TRUE(red(pixelAt(diff, 30, 2)));
  EXPECT_TRUE(red(pixelAt(diff, 35, 5)));
  EXPECT_FALSE(red(pixelAt(diff, 29, 2)));
  // Elsewhere the reference shows faintly: its dark fill as a light grey.
  const testing::Pixel faded = pixelAt(diff, 38, 12);
  EXPECT_EQ(faded.a, 255);
  EXPECT_EQ(faded.r, faded.b);
  EXPECT_GT(faded.r, 180);
  EXPECT_LT(faded.r, 255);
}

TEST_F(ImageCompareTest, AntialiasingNoiseIsWithinTheTolerance) {
  const SurfacePtr clean = picture();
  const SurfacePtr noisy = picture();
  // Nudge every partly covered pixel by a few units, as another rasteriser
  // version might.
  cairo_surface_flush(noisy.get());
  unsigned char* data = cairo_image_surface_get_data(noisy.get());
  const int stride = cairo_image_surface_get_stride(noisy.get());
  int nudged = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      unsigned char* p = data + y * stride + x * 4;
      for (int c = 0; c < 3; ++c) {
        if (p[c] > 30 && p[c] < 200) {
          p[c] = static_cast<unsigned char>(p[c] + ((x + y) % 2 == 0 ? 3 : -3));
          ++nudged;
        }
      }
    }
  }
  cairo_surface_mark_dirty(noisy.get());
  ASSERT_GT(nudged, 20);
  const ImageDifference d = compareImages(clean.get(), noisy.get());
  EXPECT_EQ(d.differingPixels, 0u);
  EXPECT_EQ(d.largestDifference, 3);
  // Not so for a colour that moved by more: the light blue for the dark, or
  // a change in one channel only.
  const DrawList ring{
      StrokeCircle{{12, 12}, 8, 0, 0.7, StrokeStyle{3, LineCap::round}, Color::blue}};
  const SurfacePtr dark = renderImage(ring, {40, 30}, {1, Appearance::dark}).value();
  const SurfacePtr light = renderImage(ring, {40, 30}, {1, Appearance::light}).value();
  EXPECT_GT(compareImages(dark.get(), light.get()).differingPixels, 20u);
  const SurfacePtr blue =
      testing::draw({FillRoundedRect{{0, 0, 4, 4}, 0, RGBA::bytes(0, 0, 255)}}, {4, 4});
  const SurfacePtr paler =
      testing::draw({FillRoundedRect{{0, 0, 4, 4}, 0, RGBA::bytes(0, 0, 235)}}, {4, 4});
  EXPECT_EQ(compareImages(blue.get(), paler.get()).differingPixels, 16u);
}

TEST_F(ImageCompareTest, SizesAndUnreadableFiles) {
  const SurfacePtr small = testing::draw({}, {40, 20});
  const ImageDifference d = compareImages(picture().get(), small.get());
  EXPECT_TRUE(d.sizesDiffer);
  EXPECT_EQ(d.width, 40);
  EXPECT_EQ(d.height, 30);
  EXPECT_GT(d.differingPixels, 40u * 10);  // at least the rows the small one lacks
  // Rows it lacks count as transparent: a blank picture differs only in size.
  const ImageDifference blank = compareImages(testing::draw({}, {40, 30}).get(), small.get());
  EXPECT_EQ(blank.differingPixels, 0u);
  EXPECT_FALSE(blank.matches());

  const auto missing = readPNG((dir / "missing.png").string());
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().find("missing.png: "), std::string::npos) << missing.error();
  const std::string text = (dir / "text.png").string();
  ASSERT_TRUE(writeFile(text, "not a picture", 13));
  const auto garbled = comparePNGFiles(text, text, "");
  ASSERT_FALSE(garbled);
  EXPECT_EQ(garbled.error().rfind(text + ": ", 0), 0u) << garbled.error();
}

}  // namespace
}  // namespace SwiftUI::Drawing
