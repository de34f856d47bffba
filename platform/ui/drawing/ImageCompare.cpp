#include "platform/ui/drawing/ImageCompare.h"

#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace SwiftUI::Drawing {

namespace {

constexpr std::uint32_t maxSide = 32767;
constexpr std::uint64_t maxPixels = 64ULL * 1000 * 1000;

// The pixels of an image surface, premultiplied ARGB in native byte order.
struct Pixels {
  const unsigned char* data = nullptr;
  int width = 0, height = 0, stride = 0;
  bool opaque = false;  // RGB24: the alpha byte is unused

  explicit Pixels(cairo_surface_t* surface) {
    if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) {
      return;
    }
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return;
    cairo_surface_flush(surface);
    data = cairo_image_surface_get_data(surface);
    if (data == nullptr) return;
    width = cairo_image_surface_get_width(surface);
    height = cairo_image_surface_get_height(surface);
    stride = cairo_image_surface_get_stride(surface);
    opaque = format == CAIRO_FORMAT_RGB24;
  }

  // Transparent outside the image.
  std::uint32_t at(int x, int y) const {
    if (x >= width || y >= height) return 0;
    std::uint32_t p;
    std::memcpy(&p, data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, sizeof p);
    return opaque ? p | 0xFF000000U : p;
  }
};

int largestChannelDifference(std::uint32_t a, std::uint32_t b, int& sum) {
  int largest = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int d =
        std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    sum += d;
    largest = std::max(largest, d);
  }
  return largest;
}

// Walks the area two images cover, calling `visit(x, y, referencePixel,
// differs)` for each pixel.
template <class Visit>
ImageDifference walk(cairo_surface_t* reference, cairo_surface_t* actual, int tolerance,
                     Visit&& visit) {
  const Pixels ref(reference), act(actual);
  ImageDifference d;
  d.width = std::max(ref.width, act.width);
  d.height = std::max(ref.height, act.height);
  d.sizesDiffer = ref.width != act.width || ref.height != act.height;
  double total = 0;
  for (int y = 0; y < d.height; ++y) {
    int rowSum = 0;
    for (int x = 0; x < d.width; ++x) {
      const std::uint32_t r = ref.at(x, y);
      const int largest = largestChannelDifference(r, act.at(x, y), rowSum);
      d.largestDifference = std::max(d.largestDifference, largest);
      const bool differs = largest > tolerance;
      if (differs) ++d.differingPixels;
      visit(x, y, r, differs);
    }
    total += rowSum;
  }
  const double channels = 4.0 * d.width * d.height;
  d.meanDifference = channels > 0 ? total / channels : 0;
  return d;
}

std::string pngReason(const png_image& image) {
  return image.message[0] != '\0' ? std::string(image.message) : std::string("unreadable PNG");
}

}  // namespace

Foundation::Result<SurfacePtr, std::string> readPNG(const std::string& path) {
  const auto fail = [&](const std::string& reason) -> Foundation::Result<SurfacePtr, std::string> {
    return path + ": " + reason;
  };
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    const std::string reason = pngReason(image);
    png_image_free(&image);
    return fail(reason);
  }
  if (image.width == 0 || image.height == 0 || image.width > maxSide || image.height > maxSide ||
      static_cast<std::uint64_t>(image.width) * image.height > maxPixels) {
    png_image_free(&image);
    return fail("image too large (" + std::to_string(image.width) + " x " +
                std::to_string(image.height) + " pixels)");
  }
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    png_image_free(&image);
    return fail(cairo_status_to_string(cairo_surface_status(surface.get())));
  }
  // Straight RGBA, read straight into the surface's rows (4 bytes a pixel
  // in both), then premultiplied and packed in place.
  image.format = PNG_FORMAT_RGBA;
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  if (!png_image_finish_read(&image, nullptr, data, stride, nullptr)) {
    const std::string reason = pngReason(image);
    png_image_free(&image);
    return fail(reason);
  }
  for (int y = 0; y < height; ++y) {
    unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      unsigned char* p = row + x * 4;
      const std::uint32_t a = p[3];
      const auto premultiplied = [a](std::uint32_t c) { return (c * a + 127) / 255; };
      const std::uint32_t packed =
          a << 24 | premultiplied(p[0]) << 16 | premultiplied(p[1]) << 8 | premultiplied(p[2]);
      std::memcpy(p, &packed, sizeof packed);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

ImageDifference compareImages(cairo_surface_t* reference, cairo_surface_t* actual, int tolerance) {
  return walk(reference, actual, tolerance, [](int, int, std::uint32_t, bool) {});
}

SurfacePtr differenceImage(cairo_surface_t* reference, cairo_surface_t* actual, int tolerance) {
  const ImageDifference size = compareImages(reference, actual, tolerance);
  SurfacePtr out(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(size.width, 1),
                                            std::max(size.height, 1)));
  if (cairo_surface_status(out.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  unsigned char* data = cairo_image_surface_get_data(out.get());
  const int stride = cairo_image_surface_get_stride(out.get());
  walk(reference, actual, tolerance, [&](int x, int y, std::uint32_t ref, bool differs) {
    std::uint32_t pixel = 0xFFFF0000U;
    if (!differs) {
      // The reference over white (premultiplied: add white times 1 − alpha),
      // as grey, faded to a quarter of its contrast.
      const std::uint32_t a = ref >> 24;
      const auto overWhite = [&](int shift) { return ((ref >> shift) & 0xFF) + (255 - a); };
      const std::uint32_t grey =
          (overWhite(16) * 299 + overWhite(8) * 587 + overWhite(0) * 114) / 1000;
      const std::uint32_t faded = 255 - (255 - grey) / 4;
      pixel = 0xFF000000U | faded << 16 | faded << 8 | faded;
    }
    std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, &pixel, sizeof pixel);
  });
  cairo_surface_mark_dirty(out.get());
  return out;
}

Foundation::Result<ImageDifference, std::string> comparePNGFiles(const std::string& referencePath,
                                                                 const std::string& actualPath,
                                                                 const std::string& diffPath,
                                                                 int tolerance) {
  const auto reference = readPNG(referencePath);
  if (!reference) return reference.error();
  const auto actual = readPNG(actualPath);
  if (!actual) return actual.error();
  const ImageDifference d = compareImages(reference->get(), actual->get(), tolerance);
  if (!d.matches() && !diffPath.empty()) {
    const SurfacePtr diff = differenceImage(reference->get(), actual->get(), tolerance);
    if (!diff) return diffPath + ": cannot create the difference image";
    std::vector<unsigned char> png;
    auto written = encodePNG(diff.get(), png);
    if (written) written = writeFile(diffPath, png.data(), png.size());
    if (!written) return written.error().message;
  }
  return d;
}

}  // namespace SwiftUI::Drawing
