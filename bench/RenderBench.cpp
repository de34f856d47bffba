// Cost of a lock-screen frame as the platform draws it, at 3× on a
// 1197 × 564-pixel surface:
//
// - LockScreenFrame: layout of the view tree (warm: its texts measured in an
//   earlier frame), the chrome around it, and the Cairo rendering of the
//   draw list.
// - LockScreenDirectCairo, the baseline: the same picture drawn straight
//   to Cairo and Pango, with its geometry, texts and fonts prepared once
//   beforehand, as a hand-written renderer with a fixed layout would draw
//   it. No layout, no draw list.
// - LockScreenLayout: the layout and chrome of a frame alone.
// - EncodeLockScreenPNG: the picture encoded as PNG (libpng, fast
//   compression), to compare with the drawing.
//
// - LockScreenPNGInBands: what `render` does, drawing and encoding 128 rows
//   at a time.
//
// The targets: the frame within 1.2× the baseline, the encoding within 6×
// the drawing.

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "bench/TypicalState.h"
#include "platform/ui/drawing/CairoRenderer.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/PangoFonts.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "platform/ui/drawing/Symbols.h"
#include "platform/widgetkit/PresentationRenderer.h"
#include "platform/widgetkit/WidgetBundle.h"

namespace {

using namespace SwiftUI::Drawing;
using WidgetKit::PresentationKind;
constexpr double pi = std::numbers::pi;

using bench::typicalState;

constexpr Foundation::Date now = bench::pinnedNow;
constexpr double scale = 3;

WidgetKit::ActivityPresentations presentations() {
  return *WidgetKit::WidgetBundle::hostedActivity<tolvane::TolvaneWidgetExtensionBundle>()
              .presentContentState(typicalState, now);
}

SurfacePtr surfaceFor(Size canvas) {
  return SurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                               static_cast<int>(std::ceil(canvas.width * scale)),
                                               static_cast<int>(std::ceil(canvas.height * scale))));
}

void BM_LockScreenFrame(benchmark::State& state) {
  const WidgetKit::ActivityPresentations p = presentations();
  PangoTextMeasurer measurer;
  WidgetKit::PresentationRenderer renderer(measurer);
  const CairoRenderer cairoRenderer({scale, Appearance::dark});
  const WidgetKit::Picture first = renderer.picture(p, PresentationKind::lockScreen, now);
  SurfacePtr image = surfaceFor(first.canvas);
  for (auto _ : state) {
    const WidgetKit::Picture picture = renderer.picture(p, PresentationKind::lockScreen, now);
    cairo_t* cr = cairo_create(image.get());
    cairoRenderer.draw(cr, picture.list);
    cairo_destroy(cr);
    cairo_surface_flush(image.get());
  }
  state.counters["commands"] = static_cast<double>(first.list.size());
}
BENCHMARK(BM_LockScreenFrame)->Unit(benchmark::kMillisecond);

// The layout and chrome alone (the part of a frame the baseline does not do).
void BM_LockScreenLayout(benchmark::State& state) {
  const WidgetKit::ActivityPresentations p = presentations();
  PangoTextMeasurer measurer;
  WidgetKit::PresentationRenderer renderer(measurer);
  benchmark::DoNotOptimize(renderer.picture(p, PresentationKind::lockScreen, now));
  for (auto _ : state) {
    WidgetKit::Picture picture = renderer.picture(p, PresentationKind::lockScreen, now);
    benchmark::DoNotOptimize(picture);
  }
}
BENCHMARK(BM_LockScreenLayout)->Unit(benchmark::kMicrosecond);

// --- The baseline: the same picture, straight to Cairo ---

struct DirectText {
  std::string text;
  PangoFontDescription* font;
  RGBA color;
  Point origin;
};
struct DirectSymbol {
  const SymbolGlyph* glyph;
  Rect rect;
  double stroke;
  RGBA color;
};

// The picture's geometry and resources, prepared once: what a renderer with
// a fixed layout would hold as constants.
struct DirectScene {
  Size canvas;
  std::vector<GradientStop> backdrop;
  Rect card;
  RGBA material, tint;
  Point contentOrigin;
  Point ringCenter;
  double ringRadius = 0, arcEnd = 0;
  RGBA ringTrack, ringColor;
  std::vector<DirectSymbol> symbols;
  std::vector<DirectText> texts;
  Rect bar;
  double barValue = 0;
  RGBA barTint, barTrack;

  DirectScene() {
    // Read off the laid-out picture once; the frames below never look at it.
    PangoTextMeasurer measurer;
    WidgetKit::PresentationRenderer renderer(measurer);
    const WidgetKit::Picture picture =
        renderer.picture(presentations(), PresentationKind::lockScreen, now);
    canvas = picture.canvas;
    bool sawCard = false, sawTrack = false;
    for (const DrawCommand& c : picture.list) {
      if (const auto* g = std::get_if<FillLinearGradient>(&c)) backdrop = g->stops;
      if (const auto* r = std::get_if<FillRoundedRect>(&c)) {
        card = r->rect;
        (sawCard ? tint : material) = resolve(r->paint, Appearance::dark);
        sawCard = true;
      }
      if (const auto* t = std::get_if<PushTransform>(&c); t && t->transform.a == 1) {
        contentOrigin = {t->transform.tx, t->transform.ty};
      }
      if (const auto* s = std::get_if<StrokeCircle>(&c)) {
        ringCenter = s->center;
        ringRadius = s->radius;
        (sawTrack ? ringColor : ringTrack) = resolve(s->paint, Appearance::dark);
        if (sawTrack) arcEnd = s->trimTo;
        sawTrack = true;
      }
      if (const auto* s = std::get_if<DrawSymbol>(&c)) {
        symbols.push_back({symbolGlyph(s->name), s->rect, symbolStrokeWidth(s->weight),
                           resolve(s->color, Appearance::dark)});
      }
      if (const auto* t = std::get_if<DrawText>(&c)) {
        texts.push_back({t->text, detail::newFontDescription(t->font),
                         resolve(t->color, Appearance::dark), t->origin});
      }
      if (const auto* b = std::get_if<DrawProgressBar>(&c)) {
        bar = b->rect;
        barValue = b->value;
        barTint = resolve(b->tint, Appearance::dark);
        barTrack = progressTrackColor(Appearance::dark);
      }
    }
  }
  ~DirectScene() {
    for (DirectText& t : texts) pango_font_description_free(t.font);
  }
  DirectScene(const DirectScene&) = delete;
  DirectScene& operator=(const DirectScene&) = delete;
};

void roundedRect(cairo_t* cr, const Rect& r, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, r.maxX() - radius, r.minY() + radius, radius, -pi / 2, 0);
  cairo_arc(cr, r.maxX() - radius, r.maxY() - radius, radius, 0, pi / 2);
  cairo_arc(cr, r.minX() + radius, r.maxY() - radius, radius, pi / 2, pi);
  cairo_arc(cr, r.minX() + radius, r.minY() + radius, radius, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void setColor(cairo_t* cr, const RGBA& c) {
  cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
}

void drawDirect(cairo_t* cr, const DirectScene& s, PangoLayout* layout) {
  cairo_scale(cr, scale, scale);
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, s.canvas.width, s.canvas.height);
  for (const GradientStop& stop : s.backdrop) {
    cairo_pattern_add_color_stop_rgba(gradient, stop.location, stop.color.red, stop.color.green,
                                      stop.color.blue, stop.color.alpha);
  }
  cairo_rectangle(cr, 0, 0, s.canvas.width, s.canvas.height);
  cairo_set_source(cr, gradient);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);

  roundedRect(cr, s.card, 22);
  setColor(cr, s.material);
  cairo_fill_preserve(cr);
  setColor(cr, s.tint);
  cairo_fill_preserve(cr);
  cairo_clip(cr);
  cairo_translate(cr, s.contentOrigin.x, s.contentOrigin.y);

  cairo_set_line_width(cr, 3);
  cairo_arc(cr, s.ringCenter.x, s.ringCenter.y, s.ringRadius, 0, 2 * pi);
  cairo_close_path(cr);
  setColor(cr, s.ringTrack);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_arc(cr, s.ringCenter.x, s.ringCenter.y, s.ringRadius, -pi / 2, -pi / 2 + 2 * pi * s.arcEnd);
  setColor(cr, s.ringColor);
  cairo_stroke(cr);

  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (const DirectSymbol& symbol : s.symbols) {
    cairo_save(cr);
    const AffineTransform t = symbolTransform(symbol.rect);
    const cairo_matrix_t m{t.a, t.b, t.c, t.d, t.tx, t.ty};
    cairo_transform(cr, &m);
    setColor(cr, symbol.color);
    for (const SymbolPart& part : symbol.glyph->parts) {
      for (const PathElement& e : part.path.elements) {
        if (const auto* mv = std::get_if<MoveTo>(&e)) cairo_move_to(cr, mv->to.x, mv->to.y);
        if (const auto* ln = std::get_if<LineTo>(&e)) cairo_line_to(cr, ln->to.x, ln->to.y);
        if (const auto* a = std::get_if<ArcTo>(&e)) {
          cairo_arc(cr, a->center.x, a->center.y, a->radius, a->startAngle,
                    a->startAngle + a->sweep);
        }
      }
      cairo_set_line_width(cr, symbol.stroke * part.strokeScale);
      cairo_stroke(cr);
    }
    cairo_restore(cr);
  }

  roundedRect(cr, s.bar, s.bar.height / 2);
  setColor(cr, s.barTrack);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  roundedRect(cr, {s.bar.x, s.bar.y, s.bar.width * s.barValue, s.bar.height}, s.bar.height / 2);
  setColor(cr, s.barTint);
  cairo_fill(cr);
  cairo_restore(cr);

  pango_cairo_update_layout(cr, layout);
  for (const DirectText& text : s.texts) {
    pango_layout_set_font_description(layout, text.font);
    pango_layout_set_text(layout, text.text.data(), static_cast<int>(text.text.size()));
    cairo_move_to(cr, text.origin.x, text.origin.y);
    setColor(cr, text.color);
    pango_cairo_show_layout_line(cr, pango_layout_get_line_readonly(layout, 0));
  }
}

void BM_LockScreenDirectCairo(benchmark::State& state) {
  const DirectScene scene;
  SurfacePtr image = surfaceFor(scene.canvas);
  for (auto _ : state) {
    cairo_t* cr = cairo_create(image.get());
    PangoLayout* layout = pango_cairo_create_layout(cr);
    detail::configureContext(pango_layout_get_context(layout));
    drawDirect(cr, scene, layout);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_flush(image.get());
  }
}
BENCHMARK(BM_LockScreenDirectCairo)->Unit(benchmark::kMillisecond);

void BM_EncodeLockScreenPNG(benchmark::State& state) {
  PangoTextMeasurer measurer;
  WidgetKit::PresentationRenderer renderer(measurer);
  const WidgetKit::Picture picture =
      renderer.picture(presentations(), PresentationKind::lockScreen, now);
  SurfacePtr image = renderImage(picture.list, picture.canvas, {scale, Appearance::dark}).value();
  std::vector<unsigned char> out;
  for (auto _ : state) {
    out.clear();
    if (!encodePNG(image.get(), out)) state.SkipWithError("encoding failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_EncodeLockScreenPNG)->Unit(benchmark::kMillisecond);

// What `render` does for a PNG: the picture drawn and encoded 128 rows at a
// time.
void BM_LockScreenPNGInBands(benchmark::State& state) {
  PangoTextMeasurer measurer;
  WidgetKit::PresentationRenderer renderer(measurer);
  const WidgetKit::Picture picture =
      renderer.picture(presentations(), PresentationKind::lockScreen, now);
  std::string out;
  for (auto _ : state) {
    out.clear();
    if (!WidgetKit::encodePicture(picture, WidgetKit::PictureFormat::png, scale, out)) {
      state.SkipWithError("encoding failed");
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_LockScreenPNGInBands)->Unit(benchmark::kMillisecond);

}  // namespace
