#include "platform/ui/drawing/Output.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <system_error>

namespace SwiftUI::Drawing {

void SurfaceDeleter::operator()(cairo_surface_t* surface) const {
  cairo_surface_destroy(surface);
}

namespace {

OutputError makeError(OutputError::Kind kind, std::string message) {
  return OutputError{kind, std::move(message)};
}

std::string systemReason(int err) {
  return std::error_code(err, std::generic_category()).message();
}

// --- PNG ---

// Rows of Cairo pixels (native-endian 32-bit words, premultiplied alpha in
// the top byte; RGB24 leaves it unused), asked for top to bottom; null when
// a row could not be made.
using RowSource = std::function<const unsigned char*(int y)>;

struct PNGState {
  const ByteSink* sink = nullptr;
  bool sinkRejected = false;
  bool sourceFailed = false;
  char message[200] = {};
};

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* state = static_cast<PNGState*>(png_get_io_ptr(png));
  if (!(*state->sink)(data, length)) {
    state->sinkRejected = true;
    png_error(png, "the output rejected the data");
  }
}

void pngFlush(png_structp) {}

void pngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PNGState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// One row of Cairo pixels as straight RGBA bytes.
void convertRow(const unsigned char* source, unsigned char* out, int width, bool hasAlpha) {
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(source);
  for (int x = 0; x < width; ++x) {
    const std::uint32_t p = pixels[x];
    const unsigned a = hasAlpha ? p >> 24 : 255u;
    unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (a == 0) {
      r = g = b = 0;
    } else if (a != 255) {
      r = (r * 255 + a / 2) / a;
      g = (g * 255 + a / 2) / a;
      b = (b * 255 + a / 2) / a;
    }
    out[0] = static_cast<unsigned char>(r);
    out[1] = static_cast<unsigned char>(g);
    out[2] = static_cast<unsigned char>(b);
    out[3] = static_cast<unsigned char>(a);
    out += 4;
  }
}

// The part that libpng may leave by longjmp: it holds no objects with
// destructors, and every buffer it uses belongs to the caller.
bool encodeRows(png_structp png, png_infop info, PNGState& state, const RowSource& rows, int width,
                int height, bool hasAlpha, unsigned char* row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 1);
  // zlib's hash tables at memory level 5 instead of 8: 0.1 MB less held
  // while a picture is encoded, for files about 0.4 % larger.
  png_set_compression_mem_level(png, 5);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const unsigned char* source = rows(y);
    if (source == nullptr) {
      state.sourceFailed = true;
      return false;
    }
    convertRow(source, row, width, hasAlpha);
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

// The writer every PNG goes through.
OutputResult<void> writePNG(int width, int height, bool hasAlpha, const RowSource& rows,
                            const ByteSink& sink) {
  PNGState state;
  state.sink = &sink;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, pngError, pngWarning);
  if (png == nullptr) return makeError(OutputError::Kind::encoding, "libpng: out of memory");
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return makeError(OutputError::Kind::encoding, "libpng: out of memory");
  }
  png_set_write_fn(png, &state, pngWrite, pngFlush);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 4);
  const bool ok = encodeRows(png, info, state, rows, width, height, hasAlpha, row.data());
  png_destroy_write_struct(&png, &info);
  if (ok) return {};
  if (state.sourceFailed) return makeError(OutputError::Kind::rendering, "drawing failed");
  if (state.sinkRejected) return makeError(OutputError::Kind::io, "PNG output rejected the data");
  return makeError(OutputError::Kind::encoding, std::string("libpng: ") + state.message);
}

// A band of a 3× lock-screen picture is then about 0.15 MB. Each band draws
// the whole list again, which costs little next to the encoding.
constexpr int bandRows = 32;

// --- SVG ---

cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

double usableScale(const RenderOptions& options) {
  return options.scale > 0 && std::isfinite(options.scale) ? options.scale : 1;
}

// --- Files ---

OutputError ioError(const std::string& path, int err) {
  return makeError(OutputError::Kind::io, path + ": " + systemReason(err));
}

bool writeAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// `target` (a regular file or a name not taken) replaced by a temporary file
// renamed over it; errors name `shown`.
OutputResult<void> replaceFile(const std::string& target, const std::string& shown,
                               const void* data, std::size_t size, mode_t mode) {
  const std::size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  if (base.empty()) return makeError(OutputError::Kind::io, shown + ": not a file name");
  std::string temp = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) +
                     "." + base + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return ioError(shown, errno);
  if (!writeAll(fd, data, size) || fchmod(fd, mode) != 0) {
    const int err = errno;
    close(fd);
    unlink(temp.c_str());
    return ioError(shown, err);
  }
  if (close(fd) != 0 || rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    unlink(temp.c_str());
    return ioError(shown, err);
  }
  return {};
}

// A FIFO, a device: opened and written as it is.
OutputResult<void> writeInto(const std::string& target, const std::string& shown, const void* data,
                             std::size_t size) {
  const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return ioError(shown, errno);
  if (!writeAll(fd, data, size)) {
    const int err = errno;
    close(fd);
    return ioError(shown, err);
  }
  if (close(fd) != 0) return ioError(shown, errno);
  return {};
}

}  // namespace

OutputResult<PixelSize> pixelSize(Size canvas, double scale) {
  const double w = canvas.width * scale, h = canvas.height * scale;
  if (!(scale > 0) || !std::isfinite(w) || !std::isfinite(h) || !(w > 1e-9) || !(h > 1e-9) ||
      w > 32767 || h > 32767) {
    return makeError(OutputError::Kind::rendering, "canvas size out of range");
  }
  return PixelSize{static_cast<int>(std::ceil(w - 1e-9)), static_cast<int>(std::ceil(h - 1e-9))};
}

OutputResult<SurfacePtr> renderImage(const DrawList& list, Size canvas,
                                     const RenderOptions& options) {
  const double scale = usableScale(options);
  const OutputResult<PixelSize> size = pixelSize(canvas, scale);
  if (!size) return size.error();
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size->width, size->height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return makeError(OutputError::Kind::rendering,
                     cairo_status_to_string(cairo_surface_status(surface.get())));
  }
  cairo_t* cr = cairo_create(surface.get());
  RenderOptions used = options;
  used.scale = scale;
  const bool ok = CairoRenderer(used).draw(cr, list);
  const cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  if (!ok) return makeError(OutputError::Kind::rendering, cairo_status_to_string(status));
  cairo_surface_flush(surface.get());
  return surface;
}

OutputResult<void> encodePNG(cairo_surface_t* image, const ByteSink& sink) {
  if (image == nullptr || cairo_surface_status(image) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE) {
    return makeError(OutputError::Kind::invalidImage, "not an image surface");
  }
  const cairo_format_t format = cairo_image_surface_get_format(image);
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) {
    return makeError(OutputError::Kind::invalidImage, "image format is not ARGB32 or RGB24");
  }
  cairo_surface_flush(image);
  const int width = cairo_image_surface_get_width(image);
  const int height = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  if (data == nullptr || width <= 0 || height <= 0) {
    return makeError(OutputError::Kind::invalidImage, "image has no pixels");
  }
  return writePNG(
      width, height, format == CAIRO_FORMAT_ARGB32,
      [&](int y) { return data + static_cast<std::ptrdiff_t>(y) * stride; }, sink);
}

OutputResult<void> encodePNG(cairo_surface_t* image, std::vector<unsigned char>& out) {
  return encodePNG(image, [&out](const unsigned char* data, std::size_t size) {
    out.insert(out.end(), data, data + size);
    return true;
  });
}

OutputResult<void> encodePNG(const DrawList& list, Size canvas, const RenderOptions& options,
                             std::string& out) {
  const OutputResult<PixelSize> size = pixelSize(canvas, options.scale);
  if (!size) return size.error();
  SurfacePtr band(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size->width,
                                             std::min(bandRows, size->height)));
  if (cairo_surface_status(band.get()) != CAIRO_STATUS_SUCCESS) {
    return makeError(OutputError::Kind::rendering,
                     cairo_status_to_string(cairo_surface_status(band.get())));
  }
  const CairoRenderer renderer(options);
  const unsigned char* data = cairo_image_surface_get_data(band.get());
  const int stride = cairo_image_surface_get_stride(band.get());
  const auto rows = [&](int y) -> const unsigned char* {
    if (y % bandRows == 0) {
      cairo_t* cr = cairo_create(band.get());
      cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
      cairo_paint(cr);
      cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
      cairo_translate(cr, 0, -y);
      const bool drawn = renderer.draw(cr, list);
      cairo_destroy(cr);
      if (!drawn) return nullptr;
      cairo_surface_flush(band.get());
    }
    return data + static_cast<std::ptrdiff_t>(y % bandRows) * stride;
  };
  return writePNG(size->width, size->height, true, rows,
                  [&out](const unsigned char* bytes, std::size_t n) {
                    out.append(reinterpret_cast<const char*>(bytes), n);
                    return true;
                  });
}

OutputResult<void> renderSVG(const DrawList& list, Size canvas, const RenderOptions& options,
                             std::string& out) {
  const double scale = usableScale(options);
  if (const OutputResult<PixelSize> size = pixelSize(canvas, scale); !size) return size.error();
  std::string document;
  cairo_surface_t* surface = cairo_svg_surface_create_for_stream(
      appendToString, &document, canvas.width * scale, canvas.height * scale);
  cairo_t* cr = cairo_create(surface);
  RenderOptions used = options;
  used.scale = scale;
  const bool drawn = CairoRenderer(used).draw(cr, list);
  const cairo_status_t drawStatus = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (!drawn) return makeError(OutputError::Kind::rendering, cairo_status_to_string(drawStatus));
  if (status != CAIRO_STATUS_SUCCESS) {
    return makeError(OutputError::Kind::encoding, cairo_status_to_string(status));
  }
  out += document;
  return {};
}

OutputResult<void> writeFile(const std::string& path, const void* data, std::size_t size) {
  std::string target = path;
  for (int links = 0;; ++links) {
    struct stat st {};
    if (lstat(target.c_str(), &st) != 0) {
      if (errno == ENOENT) return replaceFile(target, path, data, size, 0644);
      return ioError(path, errno);
    }
    if (S_ISREG(st.st_mode)) return replaceFile(target, path, data, size, st.st_mode & 07777);
    if (S_ISDIR(st.st_mode)) return ioError(path, EISDIR);
    if (!S_ISLNK(st.st_mode)) return writeInto(target, path, data, size);
    // A symbolic link: follow it to what it names, relative to its folder.
    if (links == 40) return ioError(path, ELOOP);
    std::string link(PATH_MAX, '\0');
    const ssize_t n = readlink(target.c_str(), link.data(), link.size());
    if (n < 0) return ioError(path, errno);
    link.resize(static_cast<std::size_t>(n));
    const std::size_t slash = target.rfind('/');
    target = link.front() == '/' || slash == std::string::npos ? link
                                                               : target.substr(0, slash + 1) + link;
  }
}

}  // namespace SwiftUI::Drawing
