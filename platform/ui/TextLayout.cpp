#include "platform/ui/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace SwiftUI::detail {

using Drawing::FontDescriptor;
using Drawing::Size;

namespace {

constexpr std::size_t cacheLimit = 4096;

// The key of a text measured in a font.
std::string textKey(std::string_view text, const FontDescriptor& font, double width = 0) {
  std::string key;
  key.reserve(text.size() + 24);
  key.append(text);
  key.push_back('\0');
  const double numbers[2] = {font.size, width};
  key.append(reinterpret_cast<const char*>(numbers), sizeof numbers);
  key.push_back(static_cast<char>(font.style ? static_cast<int>(*font.style) : 99));
  key.push_back(static_cast<char>(font.weight));
  key.push_back(font.monospacedDigits ? 'm' : 'p');
  return key;
}

}  // namespace

void TextLayout::trim() {
  if (metricsCache_.size() > cacheLimit) metricsCache_.clear();
  if (truncationCache_.size() > cacheLimit) truncationCache_.clear();
  if (wrapCache_.size() > cacheLimit) wrapCache_.clear();
}

const Drawing::TextMetrics& TextLayout::metrics(std::string_view text, const FontDescriptor& font) {
  std::string key = textKey(text, font);
  auto found = metricsCache_.find(key);
  if (found != metricsCache_.end()) return found->second;
  return metricsCache_.emplace(std::move(key), measurer_.measure(text, font)).first->second;
}

const std::string& TextLayout::truncated(std::string_view text, const FontDescriptor& font,
                                         CGFloat width) {
  std::string key = textKey(text, font, width);
  auto found = truncationCache_.find(key);
  if (found != truncationCache_.end()) return found->second;
  return truncationCache_.emplace(std::move(key), measurer_.truncateTail(text, font, width))
      .first->second;
}

const TextLayout::Wrapped& TextLayout::wrapped(std::string_view text, const FontDescriptor& font,
                                               CGFloat width) {
  std::string key = textKey(text, font, width);
  auto found = wrapCache_.find(key);
  if (found != wrapCache_.end()) return found->second;
  Wrapped w{measurer_.lineBreaks(text, font, width), 0};
  for (std::size_t i = 0; i < w.breaks.size(); ++i) {
    w.widest = std::max(w.widest, metrics(Drawing::lineText(text, w.breaks, i), font).width);
  }
  return wrapCache_.emplace(std::move(key), std::move(w)).first->second;
}

Size TextLayout::layOut(std::string text, const FontDescriptor& font, std::optional<int> lineLimit,
                        ProposedSize p, LaidOutText* out) {
  const Drawing::TextMetrics& whole = metrics(text, font);
  // The common case: the text fits on one line.
  if (!p.width || whole.width <= *p.width) {
    if (out) out->lines.push_back({std::move(text), whole, {}});
    return {whole.width, whole.lineHeight};
  }
  const CGFloat width = *p.width;
  std::size_t maxLines = lineLimit ? static_cast<std::size_t>(std::max(1, *lineLimit))
                                   : std::numeric_limits<std::size_t>::max();
  if (p.height && std::isfinite(*p.height) && maxLines > 1) {
    // A small allowance so that a height of exactly n lines holds n.
    const double fitting = std::floor(*p.height / font.lineHeight() + 1e-9);
    maxLines = std::min(maxLines, static_cast<std::size_t>(std::max(1.0, fitting)));
  }
  if (maxLines == 1) {
    const std::string& cut = truncated(text, font, width);
    const Drawing::TextMetrics& m = metrics(cut, font);
    if (out) {
      out->truncated = cut != text;
      out->lines.push_back({cut, m, {}});
    }
    return {m.width, m.lineHeight};
  }
  const Wrapped& wrap = wrapped(text, font, width);
  const std::vector<std::size_t>& breaks = wrap.breaks;
  const std::size_t shown = std::min(breaks.size(), maxLines);
  Size size{0, font.lineHeight() * static_cast<CGFloat>(shown)};
  if (!out && shown == breaks.size()) return {wrap.widest, size.height};
  for (std::size_t i = 0; i < shown; ++i) {
    const bool cut = i + 1 == shown && shown < breaks.size();
    const std::string_view line =
        cut ? std::string_view(truncated(std::string_view(text).substr(breaks[i]), font, width))
            : Drawing::lineText(text, breaks, i);
    const Drawing::TextMetrics& m = metrics(line, font);
    size.width = std::max(size.width, m.width);
    if (out) out->lines.push_back({std::string(line), m, {}});
  }
  if (out) {
    out->truncated = shown < breaks.size();
    out->hiddenLines = breaks.size() - shown;
  }
  return size;
}

void placeLines(LaidOutText& text, const Drawing::Rect& frame, TextAlignment alignment) {
  CGFloat top = frame.y;
  for (TextLine& line : text.lines) {
    const CGFloat slack = frame.width - line.metrics.width;
    const CGFloat x = alignment == TextAlignment::center     ? frame.x + slack / 2
                      : alignment == TextAlignment::trailing ? frame.x + slack
                                                             : frame.x;
    line.origin = {x, top + line.metrics.baselineFromTop()};
    top += line.metrics.lineHeight;
  }
}

}  // namespace SwiftUI::detail
