#include "platform/ui/drawing/TextMeasurer.h"

#include <unicode/ubrk.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

namespace SwiftUI::Drawing {

namespace {

constexpr std::string_view ellipsis = "\u2026";

struct BreakIteratorCloser {
  void operator()(UBreakIterator* it) const { ubrk_close(it); }
};

// One character break iterator per thread: opening one loads ICU's rules,
// which costs far more than iterating a short string.
UBreakIterator* characterIterator() {
  thread_local std::unique_ptr<UBreakIterator, BreakIteratorCloser> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* it = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
    return std::unique_ptr<UBreakIterator, BreakIteratorCloser>(U_SUCCESS(status) ? it : nullptr);
  }();
  return iterator.get();
}

}  // namespace

std::vector<std::size_t> graphemeBoundaries(std::string_view text) {
  std::vector<std::size_t> bounds{0};
  if (text.empty()) return bounds;
  UBreakIterator* it = characterIterator();
  UErrorCode status = U_ZERO_ERROR;
  UText* ut = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  if (it != nullptr && U_SUCCESS(status)) ubrk_setUText(it, ut, &status);
  if (it == nullptr || U_FAILURE(status)) {
    // Without ICU's rules, fall back to one boundary per code point start.
    for (std::size_t i = 1; i < text.size(); ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) bounds.push_back(i);
    }
  } else {
    ubrk_first(it);
    for (int32_t b = ubrk_next(it); b != UBRK_DONE; b = ubrk_next(it)) {
      if (static_cast<std::size_t>(b) < text.size()) bounds.push_back(static_cast<std::size_t>(b));
    }
    // Detach the iterator from the text before the text goes away.
    UErrorCode ignored = U_ZERO_ERROR;
    ubrk_setText(it, nullptr, 0, &ignored);
  }
  utext_close(ut);
  bounds.push_back(text.size());
  return bounds;
}

std::string TextMeasurer::truncateTail(std::string_view text, const FontDescriptor& font,
                                       double maxWidth) const {
  if (measure(text, font).width <= maxWidth) return std::string(text);
  if (measure(ellipsis, font).width > maxWidth) return {};
  const std::vector<std::size_t> bounds = graphemeBoundaries(text);
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
      const std::vector<std::size_t> bounds = graphemeBoundaries(text.substr(start));
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
  const double characters = static_cast<double>(graphemeBoundaries(text).size() - 1);
  return {characters * advanceFactor_ * font.size, 0.8 * font.size, 0.2 * font.size,
          font.lineHeight()};
}

}  // namespace SwiftUI::Drawing
