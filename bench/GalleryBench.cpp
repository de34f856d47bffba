// What the gallery costs in each variant, and what checking a picture costs.
//
// - GalleryVariant/<appearance>/<text size>: every sample state's views (the
//   lock screen at the card's width, the expanded island's regions, the
//   compact sides, the minimal view) laid out at the text size, drawn in the
//   appearance at 3 pixels a point and encoded as PNG; a fresh layout engine
//   an iteration, as each gallery run has. `per_picture` is the time of one
//   of a state's four pictures. Target: the default variant (dark, large)
//   is the baseline the others are read against.
// - GallerySingleLine: the default variant with a measurer that never wraps
//   a line (its texts laid out as before wrapping existed). Target: the
//   default variant within 1.1× of it; wrapping must not slow the common case.
// - GalleryDrawFiles / GalleryCheckFiles: the gallery's own path, each
//   picture drawn and written as a PNG file, against checking those files
//   against references of the same pictures (both read back and compared
//   pixel by pixel). Each reports `per_picture`.

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/SampleStates.h"
#include "platform/host/PictureCheck.h"
#include "platform/ui/Layout.h"
#include "platform/ui/drawing/CairoRenderer.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "platform/widgetkit/PresentationRenderer.h"

namespace {

using namespace SwiftUI::Drawing;
using bench::activity;
using bench::samples;
using WidgetKit::DynamicIslandExpandedRegionPosition;

constexpr double scale = 3;

// Pango's measurements without its line breaking: every text one line.
class SingleLineMeasurer final : public TextMeasurer {
 public:
  explicit SingleLineMeasurer(const TextMeasurer& inner) : inner_(inner) {}
  TextMetrics measure(std::string_view text, const FontDescriptor& font) const override {
    return inner_.measure(text, font);
  }
  std::string truncateTail(std::string_view text, const FontDescriptor& font,
                           double maxWidth) const override {
    return inner_.truncateTail(text, font, maxWidth);
  }
  std::vector<std::size_t> lineBreaks(std::string_view, const FontDescriptor&,
                                      double) const override {
    return {0};
  }

 private:
  const TextMeasurer& inner_;
};

void drawAndEncode(const SwiftUI::LayoutNode& root, const CairoRenderer& renderer,
                   std::vector<unsigned char>& png) {
  const Size size{std::max(root.frame().width, 1.0), std::max(root.frame().height, 1.0)};
  SurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                              static_cast<int>(std::ceil(size.width * scale)),
                                              static_cast<int>(std::ceil(size.height * scale))));
  cairo_t* cr = cairo_create(image.get());
  renderer.draw(cr, SwiftUI::drawCommands(root));
  cairo_destroy(cr);
  png.clear();
  if (!encodePNG(image.get(), png)) std::abort();
}

void runGallery(benchmark::State& state, const TextMeasurer& measurer, DynamicTypeSize typeSize,
                Appearance appearance) {
  const Foundation::Date now = activity().previews.now;
  const CairoRenderer renderer({scale, appearance});
  const double lockWidth = WidgetKit::lockScreenContentWidth();
  const double islandWidth = WidgetKit::expandedContentWidth();
  std::vector<unsigned char> png;
  for (auto _ : state) {
    SwiftUI::LayoutEngine engine(measurer, typeSize);
    for (const auto& p : samples()) {
      drawAndEncode(engine.layout(p.lockScreen, {lockWidth, std::nullopt}, {}, now), renderer, png);
      for (auto position : {DynamicIslandExpandedRegionPosition::leading,
                            DynamicIslandExpandedRegionPosition::trailing,
                            DynamicIslandExpandedRegionPosition::center,
                            DynamicIslandExpandedRegionPosition::bottom}) {
        const auto* region = p.dynamicIsland.region(position);
        if (!region) continue;
        const bool side = position == DynamicIslandExpandedRegionPosition::leading ||
                          position == DynamicIslandExpandedRegionPosition::trailing;
        drawAndEncode(engine.layout(region->content,
                                    {side ? islandWidth / 3 : islandWidth, std::nullopt}, {}, now),
                      renderer, png);
      }
      for (const SwiftUI::View* view :
           {&p.dynamicIsland.compactLeading(), &p.dynamicIsland.compactTrailing(),
            &p.dynamicIsland.minimal()}) {
        drawAndEncode(engine.layout(*view, {}, {}, now), renderer, png);
      }
      benchmark::DoNotOptimize(png.data());
    }
  }
  state.counters["per_picture"] = benchmark::Counter(
      static_cast<double>(samples().size() * 4),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_GalleryVariant(benchmark::State& state) {
  const PangoTextMeasurer measurer;
  runGallery(state, measurer, static_cast<DynamicTypeSize>(state.range(1)),
             static_cast<Appearance>(state.range(0)));
}
BENCHMARK(BM_GalleryVariant)
    ->ArgNames({"appearance", "size"})
    ->Args({static_cast<int>(Appearance::dark), static_cast<int>(DynamicTypeSize::large)})
    ->Args({static_cast<int>(Appearance::light), static_cast<int>(DynamicTypeSize::large)})
    ->Args({static_cast<int>(Appearance::dark), static_cast<int>(DynamicTypeSize::accessibility3)})
    ->Args({static_cast<int>(Appearance::dark), static_cast<int>(DynamicTypeSize::accessibility5)})
    ->Args({static_cast<int>(Appearance::light), static_cast<int>(DynamicTypeSize::accessibility5)})
    ->Unit(benchmark::kMillisecond);

void BM_GallerySingleLine(benchmark::State& state) {
  const PangoTextMeasurer pango;
  const SingleLineMeasurer measurer(pango);
  runGallery(state, measurer, DynamicTypeSize::large, Appearance::dark);
}
BENCHMARK(BM_GallerySingleLine)->Unit(benchmark::kMillisecond);

// The gallery's pictures as files, drawn once into a folder of references.
struct PictureFiles {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("gallery-bench-" + std::to_string(::getpid()));
  std::vector<std::string> names;

  PictureFiles() { draw(folder / "reference"); }
  ~PictureFiles() { std::filesystem::remove_all(folder); }

  void draw(const std::filesystem::path& into) {
    std::filesystem::create_directories(into);
    const PangoTextMeasurer measurer;
    WidgetKit::PresentationRenderer renderer(measurer);
    names.clear();
    for (std::size_t i = 0; i < samples().size(); ++i) {
      for (auto kind : WidgetKit::allPresentationKinds) {
        const std::string name = std::string(activity().previews.states[i].id) + "-" +
                                 std::string(WidgetKit::nameOf(kind)) + ".png";
        const auto picture = renderer.picture(samples()[i], kind, activity().previews.now);
        if (!WidgetKit::writePicture(picture, WidgetKit::PictureFormat::png, scale,
                                     (into / name).string())) {
          std::abort();
        }
        names.push_back(name);
      }
    }
  }
};

void BM_GalleryDrawFiles(benchmark::State& state) {
  PictureFiles files;
  for (auto _ : state) files.draw(files.folder / "out");
  state.counters["per_picture"] = benchmark::Counter(
      static_cast<double>(files.names.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GalleryDrawFiles)->Unit(benchmark::kMillisecond);

void BM_GalleryCheckFiles(benchmark::State& state) {
  PictureFiles files;
  files.draw(files.folder / "out");
  const std::string out = (files.folder / "out").string();
  const auto references = *Host::openReferences((files.folder / "reference").string(), out);
  // No reference is too large to decode: the check reads them all.
  constexpr PixelSize anySize{1 << 20, 1 << 20};
  for (auto _ : state) {
    const auto check = Host::checkPictures(references, files.names, out, anySize);
    if (!check || !check->passed()) std::abort();
  }
  state.counters["per_picture"] = benchmark::Counter(
      static_cast<double>(files.names.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GalleryCheckFiles)->Unit(benchmark::kMillisecond);

}  // namespace
