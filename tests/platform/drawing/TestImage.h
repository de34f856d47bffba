#pragma once

// Small helpers for reading pictures in the drawing tests.

#include <cairo.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/ui/drawing/CairoRenderer.h"
#include "platform/ui/drawing/Output.h"

namespace SwiftUI::Drawing::testing {

struct Pixel {
  int r, g, b, a;  // premultiplied, as Cairo stores them
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

inline bool isBlank(cairo_surface_t* image) {
  for (int y = 0; y < cairo_image_surface_get_height(image); ++y) {
    for (int x = 0; x < cairo_image_surface_get_width(image); ++x) {
      if (pixelAt(image, x, y).a != 0) return false;
    }
  }
  return true;
}

inline SurfacePtr draw(const DrawList& list, Size canvas, double scale = 1) {
  auto image = renderImage(list, canvas, RenderOptions{scale, Appearance::dark});
  return image ? std::move(image).value() : nullptr;
}

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

inline Reference loadReference(const std::string& name) {
  std::ifstream in(std::string(TOLVANE_SOURCE_DIR) + "/tests/platform/drawing/reference/" + name,
                   std::ios::binary);
  return decodePNG(std::string(std::istreambuf_iterator<char>(in), {}));
}

// Compares premultiplied channels (so that faint edge pixels weigh little):
// the mean difference over all channels and the largest one.
inline void expectClose(cairo_surface_t* image, const Reference& ref, double meanLimit,
                        int maxLimit) {
  ASSERT_EQ(cairo_image_surface_get_width(image), ref.width);
  ASSERT_EQ(cairo_image_surface_get_height(image), ref.height);
  double sum = 0;
  int worst = 0;
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const unsigned char* e = &ref.rgba[static_cast<std::size_t>((y * ref.width + x) * 4)];
      const Pixel p = pixelAt(image, x, y);
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

}  // namespace SwiftUI::Drawing::testing
