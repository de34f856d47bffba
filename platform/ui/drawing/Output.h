#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/drawing/CairoRenderer.h"
#include "platform/ui/drawing/DrawCommand.h"

typedef struct _cairo_surface cairo_surface_t;

// Pictures out of draw lists: PNG (through libpng) and SVG (through Cairo).
//
// Error policy: every entry point returns nullopt on success or an
// OutputError naming what went wrong; nothing throws. A file is written
// under a temporary name in the target's directory and renamed over the
// target only once it is complete, so a failure never leaves a partial file
// at the target (an existing file there stays as it was).
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

// A transparent ARGB32 image of the canvas at the options' scale (each side
// rounded up to whole pixels), with the list drawn on it. Null when Cairo
// could not create the surface (a side of 0 or more than 32767 pixels, or no
// memory); `error`, when given, then says why.
SurfacePtr renderImage(const DrawList& list, Size canvas, const RenderOptions& options,
                       std::optional<OutputError>* error = nullptr);

// Receives encoded bytes in order; returns false to abandon the encoding.
using ByteSink = std::function<bool(const unsigned char* data, std::size_t size)>;

// Encodes an image surface as an 8-bit RGBA PNG (straight alpha: Cairo's
// premultiplied pixels are divided back out), with zlib level 1 and no row
// filter. On a 1113 × 480 lock-screen picture that encodes about 4× faster
// than Cairo's own writer, for a file about a third larger (row filters cost
// time and, on these flat pictures, made the file larger still). Flushes the
// surface first.
[[nodiscard]] std::optional<OutputError> encodePNG(cairo_surface_t* image, const ByteSink& sink);
[[nodiscard]] std::optional<OutputError> encodePNG(cairo_surface_t* image,
                                                   std::vector<unsigned char>& out);

// encodePNG into a file at `path` (replaced atomically).
[[nodiscard]] std::optional<OutputError> writePNG(cairo_surface_t* image, const std::string& path);

// Draws the list onto an SVG surface of the canvas's size (in points, times
// the options' scale) and appends the document to `out`. Text is drawn as
// glyph outlines, so the document needs no fonts to display.
[[nodiscard]] std::optional<OutputError> renderSVG(const DrawList& list, Size canvas,
                                                   const RenderOptions& options, std::string& out);

// renderSVG into a file at `path` (replaced atomically).
[[nodiscard]] std::optional<OutputError> writeSVG(const DrawList& list, Size canvas,
                                                  const RenderOptions& options,
                                                  const std::string& path);

// Writes `size` bytes to `path` through a temporary file in the same
// directory, renamed over `path` once written and closed. On any failure the
// temporary file is removed and `path` is untouched.
[[nodiscard]] std::optional<OutputError> writeFileAtomically(const std::string& path,
                                                             const void* data, std::size_t size);

}  // namespace SwiftUI::Drawing
