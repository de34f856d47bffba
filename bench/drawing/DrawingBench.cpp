// Costs of turning draw lists into pictures: drawing a typical lock-screen
// list at 3×, and encoding a lock-screen-sized image as PNG with our writer
// and with Cairo's own.

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <vector>

#include "SampleScene.h"
#include "platform/ui/drawing/CairoRenderer.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"

namespace {

using namespace SwiftUI::Drawing;

struct Scene {
  Size canvas;
  DrawList list;
  Scene() {
    PangoTextMeasurer measurer;
    list = bench::lockScreenScene(measurer, &canvas);
  }
};

const Scene& scene() {
  static const Scene s;
  return s;
}

// The scene drawn at 3× onto a surface of the card's size (371 × 160 pt,
// 1113 × 480 pixels).
SurfacePtr lockScreenImage() {
  SurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1113, 480));
  cairo_t* cr = cairo_create(image.get());
  cairo_translate(cr, -14 * 3, -14 * 3);
  CairoRenderer({3, Appearance::dark}).draw(cr, scene().list);
  cairo_destroy(cr);
  return image;
}

void BM_DrawLockScreenList(benchmark::State& state) {
  SurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1113, 480));
  const CairoRenderer renderer({3, Appearance::dark});
  for (auto _ : state) {
    cairo_t* cr = cairo_create(image.get());
    cairo_translate(cr, -14 * 3, -14 * 3);
    renderer.draw(cr, scene().list);
    cairo_destroy(cr);
    cairo_surface_flush(image.get());
  }
  state.counters["commands"] = static_cast<double>(scene().list.size());
}
BENCHMARK(BM_DrawLockScreenList)->Unit(benchmark::kMillisecond);

void BM_EncodePNG(benchmark::State& state) {
  SurfacePtr image = lockScreenImage();
  std::vector<unsigned char> out;
  for (auto _ : state) {
    out.clear();
    if (!encodePNG(image.get(), out)) state.SkipWithError("encoding failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_EncodePNG)->Unit(benchmark::kMillisecond);

void BM_CairoWriteToPNGStream(benchmark::State& state) {
  SurfacePtr image = lockScreenImage();
  std::vector<unsigned char> out;
  auto write = [](void* closure, const unsigned char* data, unsigned int length) {
    auto* v = static_cast<std::vector<unsigned char>*>(closure);
    v->insert(v->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
  };
  for (auto _ : state) {
    out.clear();
    cairo_surface_write_to_png_stream(image.get(), write, &out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_CairoWriteToPNGStream)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

void BM_MeasureAndTruncateTitle(benchmark::State& state) {
  const PangoTextMeasurer measurer;
  const FontDescriptor title = FontDescriptor::textStyle(TextStyle::subheadline, FontWeight::bold);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        measurer.truncateTail("Photos, Maps, Music, Podcasts and 2 more", title, 220));
  }
}
BENCHMARK(BM_MeasureAndTruncateTitle)->Unit(benchmark::kMicrosecond);

}  // namespace
