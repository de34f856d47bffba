#include "platform/ui/drawing/PangoTextMeasurer.h"

#include <pango/pangocairo.h>

#include "platform/ui/drawing/PangoFonts.h"

namespace SwiftUI::Drawing {

struct PangoTextMeasurer::State {
  PangoFontMap* fontMap = nullptr;
  PangoContext* context = nullptr;
  PangoLayout* layout = nullptr;
};

PangoTextMeasurer::PangoTextMeasurer() : state_(std::make_unique<State>()) {
  // The thread's default font map is the one the renderer's Pango layouts
  // use too, so every font is loaded once per thread, not once per user.
  state_->fontMap = PANGO_FONT_MAP(g_object_ref(detail::fontMap()));
  state_->context = pango_font_map_create_context(state_->fontMap);
  detail::configureContext(state_->context);
  state_->layout = pango_layout_new(state_->context);
}

PangoTextMeasurer::~PangoTextMeasurer() {
  g_object_unref(state_->layout);
  g_object_unref(state_->context);
  g_object_unref(state_->fontMap);
}

TextMetrics PangoTextMeasurer::measure(std::string_view text, const FontDescriptor& font) const {
  PangoLayout* layout = state_->layout;
  detail::setText(layout, text, font);
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  const double baseline = pango_units_to_double(pango_layout_get_baseline(layout));
  const double height = pango_units_to_double(logical.height);
  return {pango_units_to_double(logical.width), baseline, height - baseline, font.lineHeight()};
}

std::vector<std::size_t> PangoTextMeasurer::lineBreaks(std::string_view text,
                                                       const FontDescriptor& font,
                                                       double maxWidth) const {
  PangoLayout* layout = state_->layout;
  detail::setText(layout, text, font, maxWidth);
  std::vector<std::size_t> breaks;
  breaks.reserve(static_cast<std::size_t>(pango_layout_get_line_count(layout)));
  for (GSList* l = pango_layout_get_lines_readonly(layout); l != nullptr; l = l->next) {
    const auto* line = static_cast<const PangoLayoutLine*>(l->data);
    breaks.push_back(static_cast<std::size_t>(line->start_index));
  }
  if (breaks.empty()) breaks.push_back(0);
  return breaks;
}

}  // namespace SwiftUI::Drawing
