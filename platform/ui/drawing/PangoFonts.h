#pragma once

// Internal to the drawing library: the one place that turns a FontDescriptor into
// Pango settings, shared by the measurer and the renderer.

#include <cairo.h>
#include <pango/pango.h>

#include <optional>
#include <string_view>

#include "platform/ui/drawing/FontDescriptor.h"

namespace SwiftUI::Drawing::detail {

// The families text is set in.
inline constexpr const char* textFamily = "Inter";
inline constexpr const char* displayFamily = "Inter Display";

// Sets up, once for the process, how fonts are found (FontFiles.cpp):
// fontMap() calls it before any font is.
void prepareFonts();

// textFamily below 20 pt, displayFamily from 20 pt on; the weight mapped
// onto Pango's scale; the size absolute, in points (= user-space units).
// The caller owns the result (pango_font_description_free).
PangoFontDescription* newFontDescription(const FontDescriptor& font);

// Sets `text` and `font` on `layout` as one paragraph: the font description,
// the "tnum" feature when the font asks for monospaced digits. Without a
// wrap width, one line; with one, wrapped at word boundaries and, for a word
// wider than the line, between characters (no hyphens).
void setText(PangoLayout* layout, std::string_view text, const FontDescriptor& font,
             std::optional<double> wrapWidth = std::nullopt);

// The calling thread's default font map, the one the measurer and the
// renderer share, with the process's font configuration in place.
PangoFontMap* fontMap();

// A layout drawing into `cr` through fontMap(), its context configured.
// The caller owns it (g_object_unref).
PangoLayout* newLayout(cairo_t* cr);

// Unhinted outlines and metrics, grey antialiasing: the same advances at
// every scale.
void configureContext(PangoContext* context);

}  // namespace SwiftUI::Drawing::detail
