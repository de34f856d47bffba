#pragma once

#include <cstddef>
#include <string>

#include "platform/foundation/Result.h"
#include "platform/ui/drawing/Output.h"

typedef struct _cairo_surface cairo_surface_t;

// Comparing pictures pixel by pixel: has a change moved pixels, how many, and
// where.
//
// Pixels are compared as Cairo stores them, with premultiplied alpha, so a
// faint antialiased edge pixel can differ only a little however its colour
// changed. Two pixels are the same when no channel differs by more than a
// tolerance; the default lets antialiasing that moved by a rounding step or
// two pass, and still catches a colour that changed by a few units (the dark
// and light blues differ by 10).
//
//   auto reference = readPNG("ref/downloading-lock-screen.png");
//   if (!reference) return reference.error();  // "ref/…png: <why>"
//   ImageDifference d = compareImages(reference->get(), picture.get());
namespace SwiftUI::Drawing {

// Reads a PNG file (any colour type and bit depth) into an ARGB32 image
// surface; or one line naming the path and the reason when the file cannot
// be opened, is not a PNG, is damaged, or is larger than 32767 pixels on a
// side or 64 million pixels in all.
Foundation::Result<SurfacePtr, std::string> readPNG(const std::string& path);

// The largest difference in one channel (0–255, premultiplied) at which two
// pixels still count as the same.
inline constexpr int defaultPixelTolerance = 8;

struct ImageDifference {
  int width = 0;  // the area compared: the larger of the two images on each side
  int height = 0;
  bool sizesDiffer = false;
  // Pixels of the area in which some channel differs by more than the
  // tolerance. A pixel that only one of the images has is compared with a
  // transparent one.
  std::size_t differingPixels = 0;
  int largestDifference = 0;  // of any channel of any pixel
  double meanDifference = 0;  // over every channel of every pixel of the area

  bool matches() const { return !sizesDiffer && differingPixels == 0; }
};

// Compares two ARGB32 or RGB24 image surfaces (flushing them first). A
// surface that is null or not such an image counts as an empty one.
ImageDifference compareImages(cairo_surface_t* reference, cairo_surface_t* actual,
                              int tolerance = defaultPixelTolerance);

// A picture of where two images differ, over the area compareImages
// compares: the reference in grey at a quarter of its contrast over white,
// and each differing pixel in opaque red. Opaque ARGB32; null when Cairo
// cannot create it.
SurfacePtr differenceImage(cairo_surface_t* reference, cairo_surface_t* actual,
                           int tolerance = defaultPixelTolerance);

// Reads the PNGs at `referencePath` and `actualPath` and compares them;
// when they differ and `diffPath` is not empty, writes their
// differenceImage there as a PNG (replacing any file atomically). One line
// of error when a file cannot be read or the difference cannot be written.
Foundation::Result<ImageDifference, std::string> comparePNGFiles(
    const std::string& referencePath, const std::string& actualPath, const std::string& diffPath,
    int tolerance = defaultPixelTolerance);

}  // namespace SwiftUI::Drawing
