// A last look at pixels: a ring and a progress bar compared, with a tolerance
// for antialiasing, against pictures computed from an analytic model of the
// shapes (reference/make_reference.py).

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "TestImage.h"

namespace SwiftUI::Drawing {
namespace {

struct Reference {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;
};

Reference load(const std::string& name) {
  const std::string path =
      std::string(TOLVANE_SOURCE_DIR) + "/tests/platform/drawing/reference/" + name;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Reference r;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return r;
  image.format = PNG_FORMAT_RGBA;
  r.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, r.rgba.data(), 0, nullptr)) return r;
  r.width = static_cast<int>(image.width);
  r.height = static_cast<int>(image.height);
  return r;
}

// Compares premultiplied channels (so that faint edge pixels weigh little):
// the mean difference over all channels and the largest one.
void expectClose(cairo_surface_t* image, const Reference& ref, double meanLimit, int maxLimit) {
  ASSERT_EQ(cairo_image_surface_get_width(image), ref.width);
  ASSERT_EQ(cairo_image_surface_get_height(image), ref.height);
  double sum = 0;
  int worst = 0;
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const unsigned char* e = &ref.rgba[(y * ref.width + x) * 4];
      const testing::Pixel p = testing::pixelAt(image, x, y);
      const int actual[4] = {p.r, p.g, p.b, p.a};
      for (int i = 0; i < 4; ++i) {
        const int expected = i == 3 ? e[3] : (e[i] * e[3] + 127) / 255;
        const int diff = std::abs(actual[i] - expected);
        sum += diff;
        worst = std::max(worst, diff);
      }
    }
  }
  EXPECT_LT(sum / (ref.width * ref.height * 4), meanLimit);
  EXPECT_LE(worst, maxLimit);
}

TEST(ReferenceImage, Ring) {
  const Reference ref = load("ring.png");
  ASSERT_GT(ref.width, 0);
  const DrawList list{
      StrokeCircle{{16, 16}, 12, 0, 1, StrokeStyle{3}, Color::blue.opacity(0.3)},
      PushTransform{AffineTransform::rotation(-std::numbers::pi / 2, {16, 16})},
      StrokeCircle{{16, 16}, 12, 0, 0.3, StrokeStyle{3, LineCap::round}, Color::blue},
      PopTransform{},
  };
  auto image = testing::draw(list, {32, 32}, 2);
  ASSERT_TRUE(image);
  expectClose(image.get(), ref, 1.0, 48);
}

TEST(ReferenceImage, ProgressBar) {
  const Reference ref = load("progress-bar.png");
  ASSERT_GT(ref.width, 0);
  auto image =
      testing::draw({DrawProgressBar{{4, 2, 72, 4}, 0.6, Color::green, std::nullopt}}, {80, 8}, 2);
  ASSERT_TRUE(image);
  expectClose(image.get(), ref, 1.0, 48);
}

}  // namespace
}  // namespace SwiftUI::Drawing
