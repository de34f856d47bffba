#pragma once

// Small helpers for reading pictures in the drawing tests.

#include <cairo.h>
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/drawing/CairoRenderer.h"
#include "platform/ui/drawing/ImageCompare.h"
#include "platform/ui/drawing/Output.h"

namespace SwiftUI::Drawing::testing {

struct Pixel {
  int r, g, b, a;  // premultiplied, as Cairo stores them
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

inline Pixel pixelAt(cairo_surface_t* image, int x, int y) {
  cairo_surface_flush(image);
  const unsigned char* row =
      cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
  const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
  return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
          static_cast<int>(p & 0xFF), static_cast<int>(p >> 24)};
}

// Alpha at a point given in points, for a picture drawn at `scale`.
inline int alphaAt(cairo_surface_t* image, double x, double y, double scale = 1) {
  return pixelAt(image, static_cast<int>(x * scale), static_cast<int>(y * scale)).a;
}

// How many pixels of the pixel rectangle [x0, x1) × [y0, y1) (clipped to the
// image) have an alpha of at least `minAlpha`.
inline int covered(cairo_surface_t* image, int minAlpha = 1, int x0 = 0, int y0 = 0,
                   int x1 = 1 << 30, int y1 = 1 << 30) {
  int n = 0;
  for (int y = y0; y < std::min(y1, cairo_image_surface_get_height(image)); ++y) {
    for (int x = x0; x < std::min(x1, cairo_image_surface_get_width(image)); ++x)
      n += pixelAt(image, x, y).a >= minAlpha;
  }
  return n;
}

inline SurfacePtr draw(const DrawList& list, Size canvas, double scale = 1) {
  auto image = renderImage(list, canvas, RenderOptions{scale, Appearance::dark});
  return image ? std::move(image).value() : nullptr;
}

// A fresh folder per test, removed afterwards.
class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() / ("drawing-" + std::to_string(getpid()) + "-" +
                                                    test->test_suite_name() + "-" + test->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string path(const std::string& name) const { return (dir / name).string(); }

  std::filesystem::path dir;
};

// A picture as straight RGBA.
struct Reference {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;
};

// A PNG's pixels (libpng's simplified reader, independent of our writer);
// width 0 when it cannot be read.
inline Reference decodePNG(const std::string& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Reference r;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return r;
  image.format = PNG_FORMAT_RGBA;
  r.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, r.rgba.data(), 0, nullptr)) return r;
  r.width = static_cast<int>(image.width);
  r.height = static_cast<int>(image.height);
  return r;
}

// A reference picture from tests/platform/drawing/reference/; null when it
// cannot be read.
inline SurfacePtr loadReference(const std::string& name) {
  auto read =
      readPNG(std::string(TOLVANE_SOURCE_DIR) + "/tests/platform/drawing/reference/" + name);
  return read ? std::move(*read) : SurfacePtr();
}

// The picture matches the reference: the same size, no channel of any pixel
// off by more than `tolerance` (premultiplied, so faint edge pixels weigh
// little), and a mean channel difference below `meanLimit`.
inline void expectClose(cairo_surface_t* image, cairo_surface_t* reference, double meanLimit,
                        int tolerance) {
  const ImageDifference d = compareImages(reference, image, tolerance);
  EXPECT_FALSE(d.sizesDiffer);
  EXPECT_EQ(d.differingPixels, 0u) << "largest difference " << d.largestDifference;
  EXPECT_LT(d.meanDifference, meanLimit);
}

}  // namespace SwiftUI::Drawing::testing
