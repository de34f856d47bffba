#include "platform/ui/drawing/ImageCompare.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestImage.h"

namespace SwiftUI::Drawing {
namespace {

namespace fs = std::filesystem;
using testing::draw;
using testing::pixelAt;

// A 40 × 30 picture: a ring, a bar and a text, antialiased edges and all.
SurfacePtr picture(const DrawList& extra = {}) {
  DrawList list{
      FillRoundedRect{{0, 0, 40, 30}, 0, RGBA::bytes(20, 20, 24)},
      StrokeCircle{{12, 12}, 8, 0, 0.7, StrokeStyle{3, LineCap::round}, Color::blue},
      DrawProgressBar{{2, 24, 36, 4}, 0.4, Color::green, std::nullopt},
  };
  list.insert(list.end(), extra.begin(), extra.end());
  return draw(list, {40, 30});
}

class ImageCompareTest : public testing::ScratchDirTest {
 protected:
  std::string write(cairo_surface_t* image, const std::string& name) {
    std::vector<unsigned char> png;
    EXPECT_TRUE(encodePNG(image, png));
    EXPECT_TRUE(writeFile(path(name), png.data(), png.size()));
    return path(name);
  }
};

// A translucent picture matches itself read back (through straight alpha and
// back, a pixel may move by one); a changed block is counted and shown
// in red in the diff, over a faint copy of the reference.
TEST_F(ImageCompareTest, ComparesFilesAndDrawsTheirDifference) {
  const SurfacePtr glass =
      draw({FillRoundedRect{{2, 2, 30, 20}, 6, RGBA::bytes(255, 149, 0, 0.6)}}, {40, 30});
  const auto read = readPNG(write(glass.get(), "glass.png"));
  ASSERT_TRUE(read) << read.error();
  const ImageDifference roundTrip = compareImages(glass.get(), read->get(), 1);
  EXPECT_TRUE(roundTrip.matches());
  EXPECT_LE(roundTrip.largestDifference, 1);
  const SurfacePtr before = picture();
  const std::string beforePNG = write(before.get(), "before.png");
  const auto same = comparePNGFiles(beforePNG, beforePNG, path("diff.png"));
  ASSERT_TRUE(same) << same.error();
  EXPECT_TRUE(same->matches());
  EXPECT_EQ(same->largestDifference, 0);
  EXPECT_FALSE(fs::exists(path("diff.png")));

  const SurfacePtr after = picture({FillRoundedRect{{30, 2, 6, 4}, 0, RGBA::bytes(255, 149, 0)}});
  const auto d = comparePNGFiles(beforePNG, write(after.get(), "after.png"), path("diff.png"));
  ASSERT_TRUE(d) << d.error();
  EXPECT_FALSE(d->matches());
  EXPECT_FALSE(d->sizesDiffer);
  EXPECT_EQ(d->differingPixels, 24u);
  EXPECT_EQ(d->largestDifference, 235);
  const auto diff = readPNG(path("diff.png"));
  ASSERT_TRUE(diff) << diff.error();
  EXPECT_EQ(cairo_image_surface_get_width(diff->get()), 40);
  const testing::Pixel red{255, 0, 0, 255};
  EXPECT_EQ(pixelAt(diff->get(), 30, 2), red);
  EXPECT_EQ(pixelAt(diff->get(), 35, 5), red);
  EXPECT_NE(pixelAt(diff->get(), 29, 2), red);
  // Elsewhere the reference's grey (20 for its fill) at a quarter of its contrast.
  EXPECT_EQ(pixelAt(diff->get(), 38, 12), (testing::Pixel{197, 197, 197, 255}));
}

// A pixel differs when one channel moved by more than the tolerance (8 by
// default: the dark and light blues, 10 apart, differ).
TEST_F(ImageCompareTest, ToleranceIsPerChannelOfEachPixel) {
  const auto square = [](int blue) {
    return draw({FillRoundedRect{{0, 0, 4, 4}, 0, RGBA::bytes(0, 0, blue)}}, {4, 4});
  };
  const SurfacePtr blue = square(255);
  for (auto [other, differing] : {std::pair{247, 0u}, {246, 16u}}) {
    const ImageDifference d = compareImages(blue.get(), square(other).get());
    EXPECT_EQ(d.differingPixels, differing) << other;
    EXPECT_EQ(d.largestDifference, 255 - other);
    EXPECT_DOUBLE_EQ(d.meanDifference, (255 - other) / 4.0);  // one channel in four
  }
  EXPECT_EQ(compareImages(blue.get(), square(253).get(), 2).differingPixels, 0u);
  EXPECT_EQ(compareImages(blue.get(), square(252).get(), 2).differingPixels, 16u);
}

TEST_F(ImageCompareTest, SizesAndUnreadableFiles) {
  const SurfacePtr small = draw({}, {40, 20});
  const ImageDifference d = compareImages(picture().get(), small.get());
  EXPECT_TRUE(d.sizesDiffer);
  EXPECT_EQ(std::pair(d.width, d.height), std::pair(40, 30));
  EXPECT_GT(d.differingPixels, 40u * 10);  // at least the rows the small one lacks
  // Rows it lacks count as transparent: a blank picture differs only in size.
  const ImageDifference blank = compareImages(draw({}, {40, 30}).get(), small.get());
  EXPECT_EQ(blank.differingPixels, 0u);
  EXPECT_FALSE(blank.matches());

  const auto missing = readPNG(path("missing.png"));
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().find("missing.png: "), std::string::npos) << missing.error();
  ASSERT_TRUE(writeFile(path("text.png"), "not a picture", 13));
  const auto garbled = comparePNGFiles(path("text.png"), path("text.png"), "");
  ASSERT_FALSE(garbled);
  EXPECT_EQ(garbled.error().rfind(path("text.png") + ": ", 0), 0u) << garbled.error();
}

}  // namespace
}  // namespace SwiftUI::Drawing
