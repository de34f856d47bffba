#include "platform/ui/drawing/PangoFonts.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>

namespace SwiftUI::Drawing::detail {

namespace {

PangoWeight pangoWeight(FontWeight weight) {
  switch (weight) {
    case FontWeight::ultraLight: return PANGO_WEIGHT_ULTRALIGHT;
    case FontWeight::thin: return PANGO_WEIGHT_THIN;
    case FontWeight::light: return PANGO_WEIGHT_LIGHT;
    case FontWeight::regular: return PANGO_WEIGHT_NORMAL;
    case FontWeight::medium: return PANGO_WEIGHT_MEDIUM;
    case FontWeight::semibold: return PANGO_WEIGHT_SEMIBOLD;
    case FontWeight::bold: return PANGO_WEIGHT_BOLD;
    case FontWeight::heavy: return PANGO_WEIGHT_ULTRABOLD;
    case FontWeight::black: return PANGO_WEIGHT_HEAVY;
  }
  return PANGO_WEIGHT_NORMAL;
}

}  // namespace

PangoFontDescription* newFontDescription(const FontDescriptor& font) {
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, font.size >= 20 ? displayFamily : textFamily);
  pango_font_description_set_weight(desc, pangoWeight(font.weight));
  pango_font_description_set_style(desc, PANGO_STYLE_NORMAL);
  const double size = font.size > 0 && font.size == font.size ? font.size : 0.01;
  pango_font_description_set_absolute_size(desc, size * PANGO_SCALE);
  return desc;
}

void setText(PangoLayout* layout, std::string_view text, const FontDescriptor& font,
             std::optional<double> wrapWidth) {
  PangoFontDescription* desc = newFontDescription(font);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  PangoAttrList* attrs = pango_attr_list_new();
  if (font.monospacedDigits) pango_attr_list_insert(attrs, pango_attr_font_features_new("tnum 1"));
  if (wrapWidth) {
    const double width = *wrapWidth > 0 ? *wrapWidth : 0;  // NaN and below 0 too
    pango_layout_set_width(layout, static_cast<int>(std::min(width * PANGO_SCALE, 1e9)));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    // Lines broken inside a word end without a hyphen, as the platform's do.
    pango_attr_list_insert(attrs, pango_attr_insert_hyphens_new(FALSE));
  } else {
    pango_layout_set_width(layout, -1);
  }
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);
  pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
}

PangoFontMap* fontMap() {
  prepareFonts();
  return pango_cairo_font_map_get_default();
}

PangoLayout* newLayout(cairo_t* cr) {
  PangoContext* context = pango_font_map_create_context(fontMap());
  pango_cairo_update_context(cr, context);
  configureContext(context);
  PangoLayout* layout = pango_layout_new(context);
  g_object_unref(context);
  return layout;
}

void configureContext(PangoContext* context) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
}

}  // namespace SwiftUI::Drawing::detail

// Fontconfig, which Pango loads fonts through, keeps its configuration and
// font caches for the life of the process and frees some of them only from
// a cleanup that nothing calls. Leak checking in sanitizer builds would
// report those in every program that draws text, so this tells it to skip
// allocations made inside fontconfig. The sanitizer runtime looks this
// function up by name; without a sanitizer it is never called.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the name the runtime looks for
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
