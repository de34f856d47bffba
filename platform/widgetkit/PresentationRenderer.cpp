#include "platform/widgetkit/PresentationRenderer.h"

#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/ui/Modifier.h"

namespace WidgetKit {

using SwiftUI::LayoutNode;
using SwiftUI::ProposedSize;
using SwiftUI::View;
namespace Drawing = SwiftUI::Drawing;
using Drawing::DrawList;
using Drawing::Point;
using Drawing::Size;

namespace {

constexpr double regionGap = 8;
// Keeps a 20-pt ring concentric with the compact pill's rounded end.
constexpr double compactInset = (Drawing::islandHeight - 20) / 2;

void appendLayout(DrawList& list, const LayoutNode& node) {
  Drawing::append(list, SwiftUI::drawCommands(node));
}

}  // namespace

std::string_view nameOf(PresentationKind kind) {
  switch (kind) {
    case PresentationKind::lockScreen: return "lock-screen";
    case PresentationKind::expanded: return "expanded";
    case PresentationKind::compact: return "compact";
    case PresentationKind::minimal: return "minimal";
  }
  return "lock-screen";
}

std::optional<PresentationKind> presentationKind(std::string_view name) {
  for (PresentationKind kind : allPresentationKinds) {
    if (nameOf(kind) == name) return kind;
  }
  return std::nullopt;
}

std::string_view nameOf(PictureFormat format) {
  return format == PictureFormat::svg ? "svg" : "png";
}

Picture PresentationRenderer::picture(const ActivityPresentations& presentations,
                                      PresentationKind kind, Foundation::Date now) {
  switch (kind) {
    case PresentationKind::lockScreen: return lockScreen(presentations, now);
    case PresentationKind::expanded: return expanded(presentations, now);
    case PresentationKind::compact: return compact(presentations, now);
    case PresentationKind::minimal: return minimal(presentations, now);
  }
  return lockScreen(presentations, now);
}

Picture PresentationRenderer::lockScreen(const ActivityPresentations& presentations,
                                         Foundation::Date now) {
  const View& view = presentations.lockScreen;
  const double width = Drawing::lockScreenContentWidth(screen_);
  const LayoutNode root = engine_.layout(view, {width, std::nullopt}, {}, now);
  std::optional<Drawing::Paint> tint;
  if (const auto* m = view.modifier<SwiftUI::ActivityBackgroundTintModifier>()) tint = m->color;
  const Drawing::Chrome chrome = Drawing::lockScreenChrome(root.frame().height, tint, screen_);
  // A view narrower than the card is centred on it.
  DrawList content;
  const double dx = (width - root.frame().width) / 2;
  if (dx != 0)
    content.emplace_back(Drawing::PushTransform{Drawing::AffineTransform::translation(dx, 0)});
  appendLayout(content, root);
  if (dx != 0) content.emplace_back(Drawing::PopTransform{});
  return {chrome.canvas, chrome.compose(content)};
}

ExpandedRegionsLayout layoutExpandedRegions(SwiftUI::LayoutEngine& engine, const DynamicIsland& island,
                                            double width, Foundation::Date now) {
  const auto content = [&](DynamicIslandExpandedRegionPosition position) {
    const DynamicIslandExpandedRegion* region = island.region(position);
    return region ? region->content : View();
  };
  const View leading = content(DynamicIslandExpandedRegionPosition::leading);
  const View trailing = content(DynamicIslandExpandedRegionPosition::trailing);
  const View center = content(DynamicIslandExpandedRegionPosition::center);
  const View bottom = content(DynamicIslandExpandedRegionPosition::bottom);

  // The sides first, at their ideal widths up to a third of the island.
  const auto sideProposal = [&](const View& side) {
    const Size ideal = engine.sizeThatFits(side, {}, now);
    return ProposedSize{std::min(ideal.width, width / 3), std::nullopt};
  };
  const ProposedSize leadingProposal = sideProposal(leading);
  const ProposedSize trailingProposal = sideProposal(trailing);
  const Size leadingSize = engine.sizeThatFits(leading, leadingProposal, now);
  const Size trailingSize = engine.sizeThatFits(trailing, trailingProposal, now);
  const double leadingColumn = leadingSize.width > 0 ? leadingSize.width + regionGap : 0;
  const double trailingColumn = trailingSize.width > 0 ? trailingSize.width + regionGap : 0;
  const double centerWidth = std::max(0.0, width - leadingColumn - trailingColumn);
  const ProposedSize centerProposal{centerWidth, std::nullopt};
  const Size centerSize = engine.sizeThatFits(center, centerProposal, now);
  const double topHeight = std::max({leadingSize.height, centerSize.height, trailingSize.height});
  const ProposedSize bottomProposal{width, std::nullopt};
  const Size bottomSize = engine.sizeThatFits(bottom, bottomProposal, now);
  const double bottomY = topHeight > 0 && bottomSize.height > 0 ? topHeight + regionGap : topHeight;

  ExpandedRegionsLayout result;
  result.height = bottomSize.height > 0 ? bottomY + bottomSize.height : topHeight;
  result.regions.push_back(engine.layout(leading, leadingProposal, {0, 0}, now));
  result.regions.push_back(engine.layout(
      center, centerProposal, {leadingColumn + (centerWidth - centerSize.width) / 2, 0}, now));
  result.regions.push_back(
      engine.layout(trailing, trailingProposal, {width - trailingSize.width, 0}, now));
  result.regions.push_back(
      engine.layout(bottom, bottomProposal, {(width - bottomSize.width) / 2, bottomY}, now));
  return result;
}

Picture PresentationRenderer::expanded(const ActivityPresentations& presentations,
                                       Foundation::Date now) {
  const DynamicIsland& island = presentations.dynamicIsland;
  const ExpandedRegionsLayout layout =
      layoutExpandedRegions(engine_, island, Drawing::expandedContentWidth(screen_), now);
  DrawList list;
  for (const LayoutNode& region : layout.regions) appendLayout(list, region);

  std::optional<Drawing::Paint> keyline;
  if (island.keylineTintValue()) keyline = *island.keylineTintValue();
  const Drawing::Chrome chrome = Drawing::expandedIslandChrome(layout.height, keyline, screen_);
  return {chrome.canvas, chrome.compose(list)};
}

Picture PresentationRenderer::compact(const ActivityPresentations& presentations,
                                      Foundation::Date now) {
  const DynamicIsland& island = presentations.dynamicIsland;
  const Drawing::CompactChrome chrome = Drawing::compactIslandChrome(screen_);
  const auto side = [&](const View& view, const Drawing::Rect& area, bool leading) {
    const ProposedSize proposal{std::max(0.0, area.width - compactInset), std::nullopt};
    const Size size = engine_.sizeThatFits(view, proposal, now);
    const Point origin{leading ? compactInset : area.width - compactInset - size.width,
                       (area.height - size.height) / 2};
    DrawList list;
    appendLayout(list, engine_.layout(view, proposal, origin, now));
    return list;
  };
  return {chrome.canvas, chrome.compose(side(island.compactLeading(), chrome.leading, true),
                                        side(island.compactTrailing(), chrome.trailing, false))};
}

Picture PresentationRenderer::minimal(const ActivityPresentations& presentations,
                                      Foundation::Date now) {
  const LayoutNode root = engine_.layout(presentations.dynamicIsland.minimal(), {}, {}, now);
  const Drawing::Chrome chrome = Drawing::minimalIslandChrome(root.frame().size());
  DrawList list;
  appendLayout(list, root);
  return {chrome.canvas, chrome.compose(list)};
}

namespace {

// --- PNG a band at a time ---
//
// A 3× lock-screen picture is 1197 × 564 pixels, 2.7 MB; the platform ends an
// extension at 30 MB. So PNGs are drawn a band of rows at a time into one
// band-sized surface, each band's rows handed to libpng before the next is
// drawn: the whole list is drawn once a band, clipped to it, and each band
// is the picture's rows exactly (an integer shift of the same drawing).

constexpr int bandRows = 128;

struct PNGOutput {
  std::string* bytes;
  std::string message;
};

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<PNGOutput*>(png_get_io_ptr(png));
  out->bytes->append(reinterpret_cast<const char*>(data), length);
}
void pngFlush(png_structp) {}
[[noreturn]] void pngError(png_structp png, png_const_charp message) {
  static_cast<PNGOutput*>(png_get_error_ptr(png))->message = message;
  png_longjmp(png, 1);
}
void pngWarning(png_structp, png_const_charp) {}

// One row of Cairo's premultiplied native-endian ARGB as straight RGBA bytes.
void straightRow(const unsigned char* source, unsigned char* row, int width) {
  for (int x = 0; x < width; ++x) {
    std::uint32_t p;
    std::memcpy(&p, source + 4 * x, sizeof p);
    const std::uint32_t a = p >> 24;
    std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (a == 0) {
      r = g = b = 0;
    } else if (a < 255) {
      r = (r * 255 + a / 2) / a;
      g = (g * 255 + a / 2) / a;
      b = (b * 255 + a / 2) / a;
    }
    row[4 * x] = static_cast<unsigned char>(r);
    row[4 * x + 1] = static_cast<unsigned char>(g);
    row[4 * x + 2] = static_cast<unsigned char>(b);
    row[4 * x + 3] = static_cast<unsigned char>(a);
  }
}

enum class BandResult { ok, pngFailed, drawFailed };

// Holds no object with a destructor: libpng leaves it through longjmp.
BandResult writeBands(png_structp png, png_infop info, cairo_surface_t* band,
                      const Drawing::DrawList& list, const Drawing::CairoRenderer& renderer,
                      int width, int height, unsigned char* row) {
  if (setjmp(png_jmpbuf(png))) return BandResult::pngFailed;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  const unsigned char* data = cairo_image_surface_get_data(band);
  const int stride = cairo_image_surface_get_stride(band);
  for (int top = 0; top < height; top += bandRows) {
    cairo_t* cr = cairo_create(band);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_translate(cr, 0, -top);
    const bool drawn = renderer.draw(cr, list);
    cairo_destroy(cr);
    if (!drawn) return BandResult::drawFailed;
    cairo_surface_flush(band);
    const int rows = std::min(bandRows, height - top);
    for (int y = 0; y < rows; ++y) {
      straightRow(data + static_cast<std::ptrdiff_t>(y) * stride, row, width);
      png_write_row(png, row);
    }
  }
  png_write_end(png, info);
  return BandResult::ok;
}

std::optional<Drawing::OutputError> encodePNGInBands(const Picture& picture, double scale,
                                                     std::string& out) {
  using Kind = Drawing::OutputError::Kind;
  const double w = picture.canvas.width * scale, h = picture.canvas.height * scale;
  if (!(scale > 0) || !std::isfinite(w) || !std::isfinite(h) || !(w > 0) || !(h > 0) || w > 32767 ||
      h > 32767) {
    return Drawing::OutputError{Kind::rendering, "canvas size out of range"};
  }
  const int width = static_cast<int>(std::ceil(w - 1e-9));
  const int height = static_cast<int>(std::ceil(h - 1e-9));
  Drawing::SurfacePtr band(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, std::min(bandRows, height)));
  if (cairo_surface_status(band.get()) != CAIRO_STATUS_SUCCESS) {
    return Drawing::OutputError{Kind::rendering,
                                cairo_status_to_string(cairo_surface_status(band.get()))};
  }
  PNGOutput output{&out, {}};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, pngError, pngWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return Drawing::OutputError{Kind::encoding, "libpng: out of memory"};
  }
  png_set_write_fn(png, &output, pngWrite, pngFlush);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 4);
  const Drawing::CairoRenderer renderer({scale, Drawing::Appearance::dark});
  const BandResult result =
      writeBands(png, info, band.get(), picture.list, renderer, width, height, row.data());
  png_destroy_write_struct(&png, &info);
  switch (result) {
    case BandResult::ok: return std::nullopt;
    case BandResult::drawFailed: return Drawing::OutputError{Kind::rendering, "drawing failed"};
    case BandResult::pngFailed: break;
  }
  return Drawing::OutputError{Kind::encoding, "libpng: " + output.message};
}

}  // namespace

std::optional<Drawing::OutputError> encodePicture(const Picture& picture, PictureFormat format,
                                                  double scale, std::string& out) {
  const Drawing::RenderOptions options{scale, Drawing::Appearance::dark};
  if (format == PictureFormat::svg) {
    return Drawing::renderSVG(picture.list, picture.canvas, options, out);
  }
  return encodePNGInBands(picture, scale, out);
}

std::optional<Drawing::OutputError> writePicture(const Picture& picture, PictureFormat format,
                                                 double scale, const std::string& path) {
  if (format == PictureFormat::svg) {
    return Drawing::writeSVG(picture.list, picture.canvas,
                             Drawing::RenderOptions{scale, Drawing::Appearance::dark}, path);
  }
  std::string bytes;
  if (auto error = encodePNGInBands(picture, scale, bytes)) return error;
  return Drawing::writeFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace WidgetKit
