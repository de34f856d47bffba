#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/drawing/FontDescriptor.h"

namespace SwiftUI::Drawing {

// The extent of one line of text in a font, in points.
struct TextMetrics {
  double width = 0;       // advance of the whole line
  double ascent = 0;      // baseline to the top of the font's tallest glyphs
  double descent = 0;     // baseline to the bottom (positive)
  double lineHeight = 0;  // the height a line takes in layout (the style's)

  // Where the baseline lies below the top of a line box of lineHeight: the
  // font's ascent plus half of the leading (lineHeight − ascent − descent).
  double baselineFromTop() const { return ascent + (lineHeight - ascent - descent) / 2; }

  friend bool operator==(const TextMetrics&, const TextMetrics&) = default;
};

// Measures single lines of text for layout, cuts them to fit, and finds
// where a text wraps.
//
// Implementations are not required to be thread-safe: give each thread its
// own measurer.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;

  // The metrics of `text` (UTF-8, one line; no wrapping) in `font`.
  virtual TextMetrics measure(std::string_view text, const FontDescriptor& font) const = 0;

  // Tail truncation to `maxWidth`: `text` itself when it fits; otherwise the
  // longest prefix that ends at a character boundary and still fits with "…"
  // (U+2026) after it, followed by "…"; and "" when not even "…" fits. The
  // default implementation measures prefixes at grapheme boundaries (a binary
  // search: about log2(characters) + 2 measurements).
  virtual std::string truncateTail(std::string_view text, const FontDescriptor& font,
                                   double maxWidth) const;

  // Where `text` wraps within `maxWidth`: the byte offset at which each line
  // begins, the first 0. Lines break between words, and inside a word too
  // wide for a line on its own between characters (grapheme clusters); a
  // line holds at least one character, even one wider than `maxWidth`.
  // Spaces at a break end the line before it and do not count towards its
  // width (see lineText). The default implementation breaks after runs of
  // U+0020 spaces only, filling each line with as many words as fit.
  virtual std::vector<std::size_t> lineBreaks(std::string_view text, const FontDescriptor& font,
                                              double maxWidth) const;
};

// The part of `text` that line `index` of `breaks` shows: from its break to
// the next (or the end), without the spaces that end it.
std::string_view lineText(std::string_view text, const std::vector<std::size_t>& breaks,
                          std::size_t index);

// Text metrics that can be worked out by hand, for layout tests: every
// character (grapheme cluster) advances by advanceFactor × the font size
// (0.5 by default, whatever the character, weight or digits setting); the
// ascent is 0.8 × size and the descent 0.2 × size; the line height is the
// font's (the text style's, or 1.2 × size for a system font). Texts wrap
// after spaces (TextMeasurer's default rule).
//
// Example: "Downloads" in caption2 (11 pt) is 9 × 5.5 = 49.5 wide, 13 tall;
// "Paused at 40 %" in caption2 within 40 pt wraps onto "Paused" and
// "at 40 %" (38.5 wide).
class FixedMetricsTextMeasurer final : public TextMeasurer {
 public:
  explicit FixedMetricsTextMeasurer(double advanceFactor = 0.5) : advanceFactor_(advanceFactor) {}

  TextMetrics measure(std::string_view text, const FontDescriptor& font) const override;

 private:
  double advanceFactor_;
};

}  // namespace SwiftUI::Drawing
