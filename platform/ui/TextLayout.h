#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ui/Geometry.h"
#include "platform/ui/Layout.h"
#include "platform/ui/drawing/FontDescriptor.h"
#include "platform/ui/drawing/Geometry.h"
#include "platform/ui/drawing/TextMeasurer.h"

namespace SwiftUI::detail {

// Lays out texts with one measurer (see Layout.h for the rules), keeping
// what it measured (texts, their truncations and line breaks, by font) until
// trim() finds a cache grown past a few thousand entries. Not thread-safe;
// the measurer must outlive it.
class TextLayout {
 public:
  explicit TextLayout(const Drawing::TextMeasurer& measurer) : measurer_(measurer) {}

  // Empties each cache that has grown past its limit.
  void trim();

  // The size of `text` in `font` for `p`, wrapped onto at most `lineLimit`
  // lines (none: no limit). When `out` is given, fills it with the lines
  // shown, each at the origin 0, 0 until placeLines, and what they leave out.
  Drawing::Size layOut(std::string text, const Drawing::FontDescriptor& font,
                       std::optional<int> lineLimit, ProposedSize p, LaidOutText* out);

 private:
  // Where a text wraps at a width, and its widest line.
  struct Wrapped {
    std::vector<std::size_t> breaks;
    CGFloat widest = 0;
  };

  const Drawing::TextMetrics& metrics(std::string_view text, const Drawing::FontDescriptor& font);
  const std::string& truncated(std::string_view text, const Drawing::FontDescriptor& font,
                               CGFloat width);
  const Wrapped& wrapped(std::string_view text, const Drawing::FontDescriptor& font, CGFloat width);

  const Drawing::TextMeasurer& measurer_;
  std::unordered_map<std::string, Drawing::TextMetrics> metricsCache_;
  std::unordered_map<std::string, std::string> truncationCache_;
  std::unordered_map<std::string, Wrapped> wrapCache_;
};

// Puts the lines of `text` in `frame`: one under the other from its top, each
// aligned by `alignment` within the frame's width.
void placeLines(LaidOutText& text, const Drawing::Rect& frame, TextAlignment alignment);

}  // namespace SwiftUI::detail
