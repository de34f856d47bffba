#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Result.h"
#include "platform/ui/drawing/CairoRenderer.h"
#include "platform/ui/drawing/DrawCommand.h"

typedef struct _cairo_surface cairo_surface_t;

// Pictures out of draw lists: PNG (through libpng) and SVG (through Cairo),
// and the one way pictures reach files.
//
// Every entry point returns a Foundation::Result whose error is an
// OutputError naming what went wrong; nothing throws.
namespace SwiftUI::Drawing {

struct OutputError {
  enum class Kind : std::uint8_t {
    invalidImage,  // not an ARGB32 or RGB24 image surface, or in an error state
    rendering,     // Cairo failed while drawing (out of memory, a bad size)
    encoding,      // libpng or the SVG surface reported an error
    io,            // the file could not be created, written or renamed
  };
  Kind kind = Kind::io;
  std::string message;  // one line, with the path and the system's reason where known
};

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const;
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

template <class T>
using OutputResult = Foundation::Result<T, OutputError>;

// The pixel size of a canvas at `scale`, each side rounded up to whole
// pixels; a rendering error when a side would be under a pixel's billionth
// or over 32767 pixels (Cairo's limit), or the scale is not a finite number
// above 0.
struct PixelSize {
  int width = 0, height = 0;
};
OutputResult<PixelSize> pixelSize(Size canvas, double scale);

// A transparent ARGB32 image of the canvas at the options' scale, with the
// list drawn on it; a rendering error when Cairo could not create the
// surface (see pixelSize, or no memory) or failed drawing on it.
OutputResult<SurfacePtr> renderImage(const DrawList& list, Size canvas,
                                     const RenderOptions& options);

// Receives encoded bytes in order; returns false to abandon the encoding.
using ByteSink = std::function<bool(const unsigned char* data, std::size_t size)>;

// PNG, one writer for every picture: 8-bit RGBA (straight alpha: Cairo's
// premultiplied pixels are divided back out), zlib level 1 and no row
// filter. On a 1113 × 480 lock-screen picture that encodes about 4× faster
// than Cairo's own writer, for a file about a third larger (row filters cost
// time and, on these flat pictures, made the file larger still).
//
// An image surface, flushed first.
OutputResult<void> encodePNG(cairo_surface_t* image, const ByteSink& sink);
OutputResult<void> encodePNG(cairo_surface_t* image, std::vector<unsigned char>& out);
// A draw list, drawn and encoded 32 rows at a time so that no more than one
// band of pixels is held (a whole 3× lock-screen picture would be 2.7 MB):
// each band is drawn from the whole list, clipped to the band, and is the
// picture's rows exactly (an integer shift of the same drawing). Appended to
// `out`.
OutputResult<void> encodePNG(const DrawList& list, Size canvas, const RenderOptions& options,
                             std::string& out);

// Draws the list onto an SVG surface of the canvas's size (in points, times
// the options' scale) and appends the document to `out`. Text is drawn as
// glyph outlines, so the document needs no fonts to display.
OutputResult<void> renderSVG(const DrawList& list, Size canvas, const RenderOptions& options,
                             std::string& out);

// Writes `size` bytes where `path` points: through symbolic links to the
// file they name, and straight into a FIFO, a device or any other file that
// is not a regular one. A regular file, or a name not yet taken, is written
// under a temporary name in its directory and renamed over it once written
// and closed, so that a failure leaves it untouched and no partial file
// behind (a replaced file keeps its permissions; a new one gets 0644).
OutputResult<void> writeFile(const std::string& path, const void* data, std::size_t size);

}  // namespace SwiftUI::Drawing
