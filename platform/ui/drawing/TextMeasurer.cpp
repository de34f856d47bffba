#include "platform/ui/drawing/TextMeasurer.h"

#include <algorithm>
#include <memory>

#include "platform/foundation/UnicodeText.h"

namespace SwiftUI::Drawing {

namespace {

constexpr std::string_view ellipsis = "\u2026";

}  // namespace

std::string TextMeasurer::truncateTail(std::string_view text, const FontDescriptor& font,
                                       double maxWidth) const {
  if (measure(text, font).width <= maxWidth) return std::string(text);
  if (measure(ellipsis, font).width > maxWidth) return {};
  const std::vector<std::size_t> bounds = Foundation::characterBoundaries(text);
  auto fits = [&](std::size_t index) {
    std::string candidate(text.substr(0, bounds[index]));
    candidate += ellipsis;
    return measure(candidate, font).width <= maxWidth;
  };
  // The largest boundary index whose prefix fits with the ellipsis. Index 0
  // (the ellipsis alone) fits; the whole text does not.
  std::size_t lo = 0, hi = bounds.size() - 1;
  while (hi - lo > 1) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (fits(mid))
      lo = mid;
    else
      hi = mid;
  }
  std::string result(text.substr(0, bounds[lo]));
  result += ellipsis;
  return result;
}

std::string_view lineText(std::string_view text, const std::vector<std::size_t>& breaks,
                          std::size_t index) {
  const std::size_t begin = std::min(breaks[index], text.size());
  std::size_t end =
      index + 1 < breaks.size() ? std::min(breaks[index + 1], text.size()) : text.size();
  while (end > begin && text[end - 1] == ' ') --end;
  return text.substr(begin, end - begin);
}

std::vector<std::size_t> TextMeasurer::lineBreaks(std::string_view text, const FontDescriptor& font,
                                                  double maxWidth) const {
  std::vector<std::size_t> breaks{0};
  if (text.empty()) return breaks;
  const auto fits = [&](std::size_t begin, std::size_t end) {
    while (end > begin && text[end - 1] == ' ') --end;
    return measure(text.substr(begin, end - begin), font).width <= maxWidth;
  };
  std::size_t start = 0;
  while (!fits(start, text.size())) {
    // The last break after a run of spaces up to which the line still fits.
    std::size_t next = start;
    for (std::size_t i = start; i < text.size(); ++i) {
      if (text[i] != ' ' || (i + 1 < text.size() && text[i + 1] == ' ')) continue;
      if (i + 1 == text.size() || !fits(start, i + 1)) break;
      next = i + 1;
    }
    if (next == start) {
      // The first word alone is too wide: as many characters as fit, at
      // least one.
      const std::vector<std::size_t> bounds = Foundation::characterBoundaries(text.substr(start));
      next = start + bounds[1];
      for (std::size_t k = 2; k < bounds.size() && fits(start, start + bounds[k]); ++k) {
        next = start + bounds[k];
      }
    }
    if (next >= text.size()) break;
    breaks.push_back(next);
    start = next;
  }
  return breaks;
}

TextMetrics FixedMetricsTextMeasurer::measure(std::string_view text,
                                              const FontDescriptor& font) const {
  const double characters = static_cast<double>(Foundation::characterBoundaries(text).size() - 1);
  return {characters * advanceFactor_ * font.size, 0.8 * font.size, 0.2 * font.size,
          font.lineHeight()};
}

}  // namespace SwiftUI::Drawing
