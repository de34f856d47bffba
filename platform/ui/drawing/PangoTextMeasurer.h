#pragma once

#include <memory>
#include <string_view>

#include "platform/ui/drawing/TextMeasurer.h"

typedef struct _PangoLayout PangoLayout;
typedef struct _PangoContext PangoContext;

namespace SwiftUI::Drawing {

// Text metrics from Pango with the fonts the renderer draws in, so that what
// layout measures is what the picture shows. Inter stands in for the system
// font ("Inter Display" at 20 pt and above); FontDescriptor::monospacedDigits
// turns on the OpenType feature "tnum". Hinting is off, so the metrics do not
// depend on the scale a picture is drawn at. The line height is the style's
// (FontDescriptor::lineHeight), not the font's.
//
// Owns its own Pango font map and context (so measurers on different threads
// share nothing); one measurer is not thread-safe. Creating one costs a
// fontconfig lookup the first time in a process; each measurement (and each
// line breaking) shapes the text once.
class PangoTextMeasurer final : public TextMeasurer {
 public:
  PangoTextMeasurer();
  ~PangoTextMeasurer() override;
  PangoTextMeasurer(const PangoTextMeasurer&) = delete;
  PangoTextMeasurer& operator=(const PangoTextMeasurer&) = delete;

  TextMetrics measure(std::string_view text, const FontDescriptor& font) const override;

  // Pango's line breaking (Unicode's rules: spaces, hyphens, ideographs, …),
  // falling back to breaks between characters inside an over-long word.
  std::vector<std::size_t> lineBreaks(std::string_view text, const FontDescriptor& font,
                                      double maxWidth) const override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace SwiftUI::Drawing
