#include "platform/ui/Layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>

#include "platform/ui/drawing/Symbols.h"

namespace SwiftUI {

using Drawing::FontDescriptor;
using Drawing::Point;
using Drawing::Rect;
using Drawing::Size;

namespace {

constexpr CGFloat defaultStackSpacing = 8;
constexpr CGFloat defaultSpacerMinLength = 8;
constexpr CGFloat defaultPadding = 16;
constexpr CGFloat progressBarHeight = 4;
constexpr CGFloat shapeIdealLength = 10;
constexpr std::size_t cacheLimit = 4096;

enum class Axis : std::uint8_t { none, horizontal, vertical };

// What modifiers hand down to everything inside them.
struct Environment {
  std::optional<Font> font;
  std::optional<Font::Weight> weight;
  std::optional<Color> foreground;
  std::optional<Color> tint;
  std::optional<int> lineLimit;
  TextAlignment textAlignment = TextAlignment::leading;
  bool monospacedDigits = false;
  Drawing::DynamicTypeSize typeSize = Drawing::DynamicTypeSize::large;

  FontDescriptor resolvedFont() const {
    return fontDescriptor(font, weight, monospacedDigits, typeSize);
  }
};

// Sets the environment value an environment modifier carries; false for any
// other modifier. Called from the outermost modifier inwards, so the
// innermost setting is the one left.
bool applyToEnvironment(Environment& env, const Modifier& modifier) {
  if (const auto* m = std::get_if<FontModifier>(&modifier)) {
    env.font = m->font;
  } else if (const auto* w = std::get_if<FontWeightModifier>(&modifier)) {
    env.weight = w->weight;
  } else if (const auto* c = std::get_if<ForegroundColorModifier>(&modifier)) {
    env.foreground = c->color;
  } else if (const auto* t = std::get_if<TintModifier>(&modifier)) {
    env.tint = t->color;
  } else if (const auto* l = std::get_if<LineLimitModifier>(&modifier)) {
    env.lineLimit = l->lines;
  } else if (const auto* a = std::get_if<MultilineTextAlignmentModifier>(&modifier)) {
    env.textAlignment = a->alignment;
  } else if (std::holds_alternative<MonospacedDigitModifier>(modifier)) {
    env.monospacedDigits = true;
  } else {
    return std::holds_alternative<TruncationModeModifier>(modifier) ||
           std::holds_alternative<ButtonStyleModifier>(modifier);
  }
  return true;
}

struct Insets {
  CGFloat top = 0, leading = 0, bottom = 0, trailing = 0;
};

Insets insetsOf(const PaddingModifier& padding) {
  const CGFloat length = padding.length.value_or(defaultPadding);
  const auto has = [&](Edge::Set edge) {
    return (static_cast<unsigned>(padding.edges) & static_cast<unsigned>(edge)) != 0;
  };
  return {has(Edge::Set::top) ? length : 0, has(Edge::Set::leading) ? length : 0,
          has(Edge::Set::bottom) ? length : 0, has(Edge::Set::trailing) ? length : 0};
}

std::optional<CGFloat> shrink(std::optional<CGFloat> length, CGFloat by) {
  if (!length) return std::nullopt;
  return std::max<CGFloat>(0, *length - by);
}

bool isFlexibleFrame(const FrameModifier& f) {
  return f.minWidth || f.idealWidth || f.maxWidth || f.minHeight || f.idealHeight || f.maxHeight;
}

// The proposal a frame passes to its child along one axis.
std::optional<CGFloat> frameChildProposal(std::optional<CGFloat> proposed,
                                          std::optional<CGFloat> fixed, std::optional<CGFloat> min,
                                          std::optional<CGFloat> ideal,
                                          std::optional<CGFloat> max) {
  if (fixed) return fixed;
  if (!proposed) return ideal;
  CGFloat p = *proposed;
  if (min) p = std::max(p, *min);
  if (max) p = std::min(p, *max);
  return p;
}

// The length a frame chooses along one axis, given its child's.
CGFloat frameLength(std::optional<CGFloat> proposed, std::optional<CGFloat> fixed,
                    std::optional<CGFloat> min, std::optional<CGFloat> ideal,
                    std::optional<CGFloat> max, CGFloat child) {
  if (fixed) return *fixed;
  if (!min && !max) return !proposed && ideal ? *ideal : child;
  CGFloat length = child;
  if (!proposed) {
    if (ideal) length = *ideal;
    if (min) length = std::max(length, *min);
    if (max) length = std::min(length, *max);
    return length;
  }
  if (min) length = std::max(*min, std::min(length, *proposed));
  if (max) length = std::min(*max, std::max(length, *proposed));
  return length;
}

// Where a child of `size` goes in `bounds` with `alignment`.
Point aligned(const Rect& bounds, Size size, Alignment alignment) {
  CGFloat x = bounds.x, y = bounds.y;
  switch (alignment.horizontal) {
    case HorizontalAlignment::leading: break;
    case HorizontalAlignment::center: x += (bounds.width - size.width) / 2; break;
    case HorizontalAlignment::trailing: x += bounds.width - size.width; break;
  }
  switch (alignment.vertical) {
    case VerticalAlignment::top: break;
    case VerticalAlignment::bottom: y += bounds.height - size.height; break;
    // Baselines: every row here holds one line of text at most, so its
    // baseline sits where centring puts it.
    case VerticalAlignment::center:
    case VerticalAlignment::firstTextBaseline:
    case VerticalAlignment::lastTextBaseline: y += (bounds.height - size.height) / 2; break;
  }
  return {x, y};
}

// A stack's sizing along its axis.
struct StackPlan {
  std::vector<Size> sizes;
  std::vector<ProposedSize> proposals;
  Size size;
};

struct SizeKey {
  const void* node;
  std::uint32_t layer;
  Axis axis;
  std::uint64_t width, height;  // bit patterns; NaN stands for absent
  FontDescriptor font;
  int lineLimit;

  friend bool operator==(const SizeKey&, const SizeKey&) = default;
};

std::uint64_t bitsOf(std::optional<CGFloat> value) {
  const double v = value ? *value : std::nan("");
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

std::size_t mix(std::size_t seed, std::uint64_t value) {
  return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

struct SizeKeyHash {
  std::size_t operator()(const SizeKey& k) const {
    std::size_t h = std::hash<const void*>()(k.node);
    h = mix(h, k.layer);
    h = mix(h, static_cast<std::uint64_t>(k.axis));
    h = mix(h, k.width);
    h = mix(h, k.height);
    h = mix(h, bitsOf(k.font.size));
    h = mix(h, static_cast<std::uint64_t>(k.font.weight) << 8 | (k.font.monospacedDigits ? 1 : 0));
    h = mix(h, static_cast<std::uint64_t>(k.lineLimit));
    return h;
  }
};

// Where a text wraps at a width, and its widest line.
struct WrappedText {
  std::vector<std::size_t> breaks;
  CGFloat widest = 0;
};

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

FontDescriptor fontDescriptor(const std::optional<Font>& font,
                              const std::optional<Font::Weight>& weight, bool monospacedDigits,
                              Drawing::DynamicTypeSize typeSize) {
  using Drawing::TextStyle;
  const auto styled = [typeSize](TextStyle style) {
    return FontDescriptor::textStyle(style, std::nullopt, typeSize);
  };
  FontDescriptor d = styled(TextStyle::body);
  if (font) {
    if (const auto* system = std::get_if<Font::System>(&font->value)) {
      d = FontDescriptor::system(system->size);
    } else {
      switch (std::get<Font::TextStyle>(font->value)) {
        case Font::TextStyle::title3: d = styled(TextStyle::title3); break;
        case Font::TextStyle::headline: d = styled(TextStyle::headline); break;
        case Font::TextStyle::body: d = styled(TextStyle::body); break;
        case Font::TextStyle::callout: d = styled(TextStyle::callout); break;
        case Font::TextStyle::subheadline: d = styled(TextStyle::subheadline); break;
        case Font::TextStyle::footnote: d = styled(TextStyle::footnote); break;
        case Font::TextStyle::caption: d = styled(TextStyle::caption); break;
        case Font::TextStyle::caption2: d = styled(TextStyle::caption2); break;
        case Font::TextStyle::largeTitle: d = FontDescriptor::system(34); break;
        case Font::TextStyle::title: d = FontDescriptor::system(28); break;
        case Font::TextStyle::title2: d = FontDescriptor::system(22); break;
      }
    }
  }
  if (weight) d = d.withWeight(*weight);
  return d.withMonospacedDigits(monospacedDigits);
}

struct LayoutEngine::Impl {
  Impl(const Drawing::TextMeasurer& m, Drawing::DynamicTypeSize size)
      : measurer(m), typeSize(size) {}

  const Drawing::TextMeasurer& measurer;
  Drawing::DynamicTypeSize typeSize;
  Foundation::Date now;
  // Kept between layouts.
  std::unordered_map<std::string, Drawing::TextMetrics> metricsCache;
  std::unordered_map<std::string, std::string> truncationCache;
  std::unordered_map<std::string, WrappedText> wrapCache;
  // Kept for one layout.
  std::unordered_map<SizeKey, Size, SizeKeyHash> sizeCache;

  void beginPass(Foundation::Date date) {
    now = date;
    sizeCache.clear();
    if (metricsCache.size() > cacheLimit) metricsCache.clear();
    if (truncationCache.size() > cacheLimit) truncationCache.clear();
    if (wrapCache.size() > cacheLimit) wrapCache.clear();
  }

  Environment rootEnvironment() const {
    Environment env;
    env.typeSize = typeSize;
    return env;
  }

  // --- Text ---

  const Drawing::TextMetrics& metrics(std::string_view text, const FontDescriptor& font) {
    std::string key = textKey(text, font);
    auto found = metricsCache.find(key);
    if (found != metricsCache.end()) return found->second;
    return metricsCache.emplace(std::move(key), measurer.measure(text, font)).first->second;
  }

  const std::string& truncated(std::string_view text, const FontDescriptor& font, CGFloat width) {
    std::string key = textKey(text, font, width);
    auto found = truncationCache.find(key);
    if (found != truncationCache.end()) return found->second;
    return truncationCache.emplace(std::move(key), measurer.truncateTail(text, font, width))
        .first->second;
  }

  const WrappedText& wrapped(std::string_view text, const FontDescriptor& font, CGFloat width) {
    std::string key = textKey(text, font, width);
    auto found = wrapCache.find(key);
    if (found != wrapCache.end()) return found->second;
    WrappedText w{measurer.lineBreaks(text, font, width), 0};
    for (std::size_t i = 0; i < w.breaks.size(); ++i) {
      w.widest = std::max(w.widest, metrics(Drawing::lineText(text, w.breaks, i), font).width);
    }
    return wrapCache.emplace(std::move(key), std::move(w)).first->second;
  }

  // Lays out a text for `p` (see Layout.h): returns its size and, when
  // `lines` is given, fills it with the lines shown.
  Size layOutText(const TextNode& node, ProposedSize p, const Environment& env,
                  std::vector<TextLine>* lines) {
    std::string text = node.displayText(now);
    const FontDescriptor font = env.resolvedFont();
    const Drawing::TextMetrics& whole = metrics(text, font);
    // The common case: the text fits on one line.
    if (!p.width || whole.width <= *p.width) {
      if (lines) lines->push_back({std::move(text), font, whole});
      return {whole.width, whole.lineHeight};
    }
    const CGFloat width = *p.width;
    std::size_t maxLines = env.lineLimit ? static_cast<std::size_t>(std::max(1, *env.lineLimit))
                                         : std::numeric_limits<std::size_t>::max();
    if (p.height && std::isfinite(*p.height) && maxLines > 1) {
      // A small allowance so that a height of exactly n lines holds n.
      const double fitting = std::floor(*p.height / font.lineHeight() + 1e-9);
      maxLines = std::min(maxLines, static_cast<std::size_t>(std::max(1.0, fitting)));
    }
    if (maxLines == 1) {
      const std::string& cut = truncated(text, font, width);
      const Drawing::TextMetrics& m = metrics(cut, font);
      if (lines) lines->push_back({cut, font, m});
      return {m.width, m.lineHeight};
    }
    const WrappedText& wrap = wrapped(text, font, width);
    const std::vector<std::size_t>& breaks = wrap.breaks;
    const std::size_t shown = std::min(breaks.size(), maxLines);
    Size size{0, font.lineHeight() * static_cast<CGFloat>(shown)};
    if (!lines && shown == breaks.size()) return {wrap.widest, size.height};
    for (std::size_t i = 0; i < shown; ++i) {
      const bool cut = i + 1 == shown && shown < breaks.size();
      const std::string_view line =
          cut ? std::string_view(truncated(std::string_view(text).substr(breaks[i]), font, width))
              : Drawing::lineText(text, breaks, i);
      const Drawing::TextMetrics& m = metrics(line, font);
      size.width = std::max(size.width, m.width);
      if (lines) lines->push_back({std::string(line), font, m});
    }
    return size;
  }

  // --- Sizing ---

  // The size of `view` with its first `layer` modifiers applied.
  Size measure(const View& view, ProposedSize p, const Environment& env, Axis axis) {
    const auto layer = static_cast<std::uint32_t>(view.modifiers().size());
    const SizeKey key{&view.content(),
                      layer,
                      axis,
                      bitsOf(p.width),
                      bitsOf(p.height),
                      env.resolvedFont(),
                      env.lineLimit.value_or(-1)};
    auto found = sizeCache.find(key);
    if (found != sizeCache.end()) return found->second;
    const Size size = sizeOfLayer(view, layer, p, env, axis);
    sizeCache.emplace(key, size);
    return size;
  }

  Size sizeOfLayer(const View& view, std::size_t layer, ProposedSize p, const Environment& env,
                   Axis axis) {
    if (layer == 0) return contentSize(view, p, env, axis);
    const Modifier& modifier = view.modifiers()[layer - 1];
    if (const auto* padding = std::get_if<PaddingModifier>(&modifier)) {
      const Insets in = insetsOf(*padding);
      const Size child = sizeOfLayer(
          view, layer - 1,
          {shrink(p.width, in.leading + in.trailing), shrink(p.height, in.top + in.bottom)}, env,
          axis);
      return {child.width + in.leading + in.trailing, child.height + in.top + in.bottom};
    }
    if (const auto* frame = std::get_if<FrameModifier>(&modifier)) {
      const ProposedSize childProposal = frameProposal(*frame, p);
      const Size child = sizeOfLayer(view, layer - 1, childProposal, env, axis);
      return frameSize(*frame, p, child);
    }
    Environment inner = env;
    applyToEnvironment(inner, modifier);
    return sizeOfLayer(view, layer - 1, p, inner, axis);
  }

  static ProposedSize frameProposal(const FrameModifier& f, ProposedSize p) {
    if (!isFlexibleFrame(f)) return {f.width ? f.width : p.width, f.height ? f.height : p.height};
    return {frameChildProposal(p.width, f.width, f.minWidth, f.idealWidth, f.maxWidth),
            frameChildProposal(p.height, f.height, f.minHeight, f.idealHeight, f.maxHeight)};
  }

  static Size frameSize(const FrameModifier& f, ProposedSize p, Size child) {
    return {frameLength(p.width, f.width, f.minWidth, f.idealWidth, f.maxWidth, child.width),
            frameLength(p.height, f.height, f.minHeight, f.idealHeight, f.maxHeight, child.height)};
  }

  Size contentSize(const View& view, ProposedSize p, const Environment& env, Axis axis) {
    switch (view.kind()) {
      case ViewKind::text: return layOutText(*view.as<TextNode>(), p, env, nullptr);
      case ViewKind::image: {
        const FontDescriptor font = env.resolvedFont();
        return Drawing::symbolSize(font.size);
      }
      case ViewKind::progressView: return {p.width.value_or(0), progressBarHeight};
      case ViewKind::circle:
        return {p.width.value_or(shapeIdealLength), p.height.value_or(shapeIdealLength)};
      case ViewKind::spacer: {
        const CGFloat min = view.as<SpacerNode>()->minLength.value_or(defaultSpacerMinLength);
        const auto grow = [min](std::optional<CGFloat> length) {
          return std::max(min, length.value_or(min));
        };
        switch (axis) {
          case Axis::horizontal: return {grow(p.width), 0};
          case Axis::vertical: return {0, grow(p.height)};
          case Axis::none: return {grow(p.width), grow(p.height)};
        }
        return {};
      }
      case ViewKind::emptyView: return {};
      case ViewKind::button:
        return view.children().empty() ? Size{}
                                       : measure(view.children().front(), p, env, Axis::none);
      case ViewKind::zstack: {
        Size size;
        for (const View& child : view.children()) {
          const Size s = measure(child, p, env, Axis::none);
          size.width = std::max(size.width, s.width);
          size.height = std::max(size.height, s.height);
        }
        return size;
      }
      case ViewKind::hstack:
        return planStack(view, Axis::horizontal, view.as<HStackNode>()->spacing, p, env).size;
      case ViewKind::vstack:
        return planStack(view, Axis::vertical, view.as<VStackNode>()->spacing, p, env).size;
    }
    return {};
  }

  // The sharing of a stack's length among its children; see Layout.h.
  StackPlan planStack(const View& stack, Axis axis, std::optional<CGFloat> spacingGiven,
                      ProposedSize p, const Environment& env) {
    const std::vector<View>& children = stack.children();
    const bool horizontal = axis == Axis::horizontal;
    const auto along = [horizontal](Size s) { return horizontal ? s.width : s.height; };
    const auto across = [horizontal](Size s) { return horizontal ? s.height : s.width; };
    const auto propose = [&](std::optional<CGFloat> length) {
      return horizontal ? ProposedSize{length, p.height} : ProposedSize{p.width, length};
    };
    const std::optional<CGFloat> offered = horizontal ? p.width : p.height;

    StackPlan plan;
    plan.sizes.resize(children.size());
    plan.proposals.resize(children.size(), propose(std::nullopt));
    std::vector<std::size_t> present;
    for (std::size_t i = 0; i < children.size(); ++i) {
      if (children[i].kind() != ViewKind::emptyView) present.push_back(i);
    }
    if (present.empty()) return plan;
    const CGFloat spacing =
        spacingGiven.value_or(defaultStackSpacing) * static_cast<CGFloat>(present.size() - 1);

    const auto settle = [&](std::size_t i, std::optional<CGFloat> length) {
      plan.proposals[i] = propose(length);
      plan.sizes[i] = measure(children[i], plan.proposals[i], env, axis);
      return along(plan.sizes[i]);
    };

    if (!offered) {
      for (std::size_t i : present) settle(i, std::nullopt);
    } else {
      std::vector<CGFloat> mins(children.size()), maxes(children.size());
      std::vector<std::size_t> bounded, unbounded;
      CGFloat reserved = 0;
      for (std::size_t i : present) {
        mins[i] = along(measure(children[i], propose(0), env, axis));
        maxes[i] = along(measure(children[i], propose(infinity), env, axis));
        if (std::isfinite(maxes[i])) {
          bounded.push_back(i);
        } else {
          unbounded.push_back(i);
          reserved += mins[i];
        }
      }
      std::stable_sort(bounded.begin(), bounded.end(), [&](std::size_t a, std::size_t b) {
        return maxes[a] - mins[a] < maxes[b] - mins[b];
      });
      std::stable_sort(unbounded.begin(), unbounded.end(),
                       [&](std::size_t a, std::size_t b) { return mins[a] > mins[b]; });
      CGFloat remaining = *offered - spacing - reserved;
      const auto share = [&](const std::vector<std::size_t>& group) {
        std::size_t count = group.size();
        for (std::size_t i : group) {
          const CGFloat offer = std::isinf(remaining)
                                    ? remaining
                                    : std::max<CGFloat>(0, remaining / static_cast<CGFloat>(count));
          const CGFloat taken = settle(i, offer);
          if (!std::isinf(remaining)) remaining -= taken;
          --count;
        }
      };
      share(bounded);
      remaining += reserved;
      share(unbounded);
    }

    CGFloat length = spacing, thickness = 0;
    for (std::size_t i : present) {
      length += along(plan.sizes[i]);
      thickness = std::max(thickness, across(plan.sizes[i]));
    }
    plan.size = horizontal ? Size{length, thickness} : Size{thickness, length};
    return plan;
  }

  // --- Placing ---

  void placeView(const View& view, const Rect& rect, ProposedSize p, const Environment& env,
                 Axis axis, LayoutNode& node) {
    node.view = view;
    node.layers.assign(view.modifiers().size() + 1, Rect{});
    placeLayer(view, view.modifiers().size(), rect, p, env, axis, node);
  }

  void placeLayer(const View& view, std::size_t layer, const Rect& rect, ProposedSize p,
                  const Environment& env, Axis axis, LayoutNode& node) {
    node.layers[layer] = rect;
    if (layer == 0) {
      placeContent(view, rect, p, env, node);
      return;
    }
    const Modifier& modifier = view.modifiers()[layer - 1];
    if (const auto* padding = std::get_if<PaddingModifier>(&modifier)) {
      const Insets in = insetsOf(*padding);
      const Rect inner{rect.x + in.leading, rect.y + in.top,
                       std::max<CGFloat>(0, rect.width - in.leading - in.trailing),
                       std::max<CGFloat>(0, rect.height - in.top - in.bottom)};
      placeLayer(view, layer - 1, inner,
                 {shrink(p.width, in.leading + in.trailing), shrink(p.height, in.top + in.bottom)},
                 env, axis, node);
      return;
    }
    if (const auto* frame = std::get_if<FrameModifier>(&modifier)) {
      const ProposedSize childProposal = frameProposal(*frame, p);
      const Size child = sizeOfLayer(view, layer - 1, childProposal, env, axis);
      const Point at = aligned(rect, child, frame->alignment);
      placeLayer(view, layer - 1, {at.x, at.y, child.width, child.height}, childProposal, env, axis,
                 node);
      return;
    }
    Environment inner = env;
    applyToEnvironment(inner, modifier);
    placeLayer(view, layer - 1, rect, p, inner, axis, node);
  }

  void placeContent(const View& view, const Rect& rect, ProposedSize p, const Environment& env,
                    LayoutNode& node) {
    const std::vector<View>& children = view.children();
    switch (view.kind()) {
      case ViewKind::text:
        node.textLines.clear();
        layOutText(*view.as<TextNode>(), p, env, &node.textLines);
        return;
      case ViewKind::button:
        if (!children.empty()) {
          node.children.resize(1);
          placeView(children.front(), rect, p, env, Axis::none, node.children.front());
        }
        return;
      case ViewKind::zstack: {
        node.children.resize(children.size());
        const Alignment alignment = view.as<ZStackNode>()->alignment;
        for (std::size_t i = 0; i < children.size(); ++i) {
          const Size s = measure(children[i], p, env, Axis::none);
          const Point at = aligned(rect, s, alignment);
          placeView(children[i], {at.x, at.y, s.width, s.height}, p, env, Axis::none,
                    node.children[i]);
        }
        return;
      }
      case ViewKind::hstack:
      case ViewKind::vstack: {
        const bool horizontal = view.kind() == ViewKind::hstack;
        const Axis axis = horizontal ? Axis::horizontal : Axis::vertical;
        const std::optional<CGFloat> spacing =
            horizontal ? view.as<HStackNode>()->spacing : view.as<VStackNode>()->spacing;
        const StackPlan plan = planStack(view, axis, spacing, p, env);
        const CGFloat gap = spacing.value_or(defaultStackSpacing);
        node.children.resize(children.size());
        CGFloat cursor = horizontal ? rect.x : rect.y;
        bool first = true;
        for (std::size_t i = 0; i < children.size(); ++i) {
          const Size s = plan.sizes[i];
          Rect childRect;
          if (children[i].kind() == ViewKind::emptyView) {
            childRect = horizontal ? Rect{cursor, rect.y, 0, 0} : Rect{rect.x, cursor, 0, 0};
          } else {
            if (!first) cursor += gap;
            first = false;
            if (horizontal) {
              const Point at =
                  aligned({cursor, rect.y, s.width, rect.height}, s,
                          {HorizontalAlignment::leading, view.as<HStackNode>()->alignment});
              childRect = {at.x, at.y, s.width, s.height};
              cursor += s.width;
            } else {
              const Point at = aligned({rect.x, cursor, rect.width, s.height}, s,
                                       {view.as<VStackNode>()->alignment, VerticalAlignment::top});
              childRect = {at.x, at.y, s.width, s.height};
              cursor += s.height;
            }
          }
          placeView(children[i], childRect, plan.proposals[i], env, axis, node.children[i]);
        }
        return;
      }
      case ViewKind::spacer:
      case ViewKind::image:
      case ViewKind::progressView:
      case ViewKind::circle:
      case ViewKind::emptyView: return;
    }
  }
};

LayoutEngine::LayoutEngine(const Drawing::TextMeasurer& measurer, Drawing::DynamicTypeSize typeSize)
    : impl_(std::make_unique<Impl>(measurer, typeSize)) {}

LayoutEngine::~LayoutEngine() = default;

Drawing::DynamicTypeSize LayoutEngine::dynamicTypeSize() const {
  return impl_->typeSize;
}

void LayoutEngine::setDynamicTypeSize(Drawing::DynamicTypeSize typeSize) {
  impl_->typeSize = typeSize;
}

Size LayoutEngine::sizeThatFits(const View& view, ProposedSize proposal, Foundation::Date now) {
  impl_->beginPass(now);
  return impl_->measure(view, proposal, impl_->rootEnvironment(), Axis::none);
}

LayoutNode LayoutEngine::layout(const View& view, ProposedSize proposal, Point origin,
                                Foundation::Date now) {
  impl_->beginPass(now);
  const Environment env = impl_->rootEnvironment();
  const Size size = impl_->measure(view, proposal, env, Axis::none);
  LayoutNode root;
  impl_->placeView(view, {origin.x, origin.y, size.width, size.height}, proposal, env, Axis::none,
                   root);
  return root;
}

namespace {

Drawing::StrokeStyle drawingStroke(const StrokeStyle& s) {
  return Drawing::StrokeStyle(s.lineWidth, static_cast<Drawing::LineCap>(s.lineCap),
                              static_cast<Drawing::LineJoin>(s.lineJoin), s.miterLimit, s.dash,
                              s.dashPhase);
}

void emitContent(const LayoutNode& node, const Environment& env, Drawing::DrawList& out) {
  const Rect& r = node.contentFrame();
  const Color foreground = env.foreground.value_or(Color::primary);
  switch (node.view.kind()) {
    case ViewKind::text: {
      CGFloat top = r.y;
      for (const TextLine& line : node.textLines) {
        const CGFloat slack = r.width - line.metrics.width;
        const CGFloat x = env.textAlignment == TextAlignment::center     ? r.x + slack / 2
                          : env.textAlignment == TextAlignment::trailing ? r.x + slack
                                                                         : r.x;
        if (!line.text.empty()) {
          out.emplace_back(Drawing::DrawText{line.text,
                                             line.font,
                                             foreground,
                                             {x, top + line.metrics.baselineFromTop()},
                                             line.metrics.width});
        }
        top += line.metrics.lineHeight;
      }
      return;
    }
    case ViewKind::image:
      out.emplace_back(Drawing::DrawSymbol{node.view.as<ImageNode>()->systemName, r,
                                           env.resolvedFont().weight, foreground});
      return;
    case ViewKind::progressView: {
      const ProgressViewNode& bar = *node.view.as<ProgressViewNode>();
      out.emplace_back(Drawing::DrawProgressBar{r, bar.value / bar.total,
                                                env.tint.value_or(Color::blue), std::nullopt});
      return;
    }
    case ViewKind::circle: {
      const Point center = r.center();
      const CGFloat radius = std::min(r.width, r.height) / 2;
      const auto* trim = node.view.modifier<TrimModifier>();
      if (const auto* stroke = node.view.modifier<StrokeModifier>()) {
        out.emplace_back(Drawing::StrokeCircle{center, radius, trim ? trim->from : 0,
                                               trim ? trim->to : 1, drawingStroke(stroke->style),
                                               stroke->color});
      } else if (!trim || (trim->from <= 0 && trim->to >= 1)) {
        out.emplace_back(Drawing::FillCircle{center, radius, foreground});
      }
      return;
    }
    case ViewKind::vstack:
    case ViewKind::hstack:
    case ViewKind::zstack:
    case ViewKind::spacer:
    case ViewKind::emptyView:
    case ViewKind::button: return;
  }
}

void emit(const LayoutNode& node, Environment env, Drawing::DrawList& out) {
  enum class Close : std::uint8_t { transform, opacity };
  std::vector<Close> closers;
  const auto unwind = [&] {
    for (auto it = closers.rbegin(); it != closers.rend(); ++it) {
      if (*it == Close::transform)
        out.emplace_back(Drawing::PopTransform{});
      else
        out.emplace_back(Drawing::EndOpacity{});
    }
  };
  const std::vector<Modifier>& modifiers = node.view.modifiers();
  for (std::size_t k = modifiers.size(); k >= 1; --k) {
    const Modifier& modifier = modifiers[k - 1];
    const Rect& r = node.layers[k];
    if (applyToEnvironment(env, modifier)) continue;
    if (const auto* o = std::get_if<OpacityModifier>(&modifier)) {
      if (!(o->opacity > 0)) {
        unwind();
        return;
      }
      if (o->opacity < 1) {
        out.emplace_back(Drawing::BeginOpacity{o->opacity});
        closers.push_back(Close::opacity);
      }
    } else if (const auto* rotation = std::get_if<RotationEffectModifier>(&modifier)) {
      if (rotation->angle.inDegrees() != 0) {
        const Point anchor{r.x + rotation->anchor.x * r.width, r.y + rotation->anchor.y * r.height};
        out.emplace_back(Drawing::PushTransform{
            Drawing::AffineTransform::rotation(rotation->angle.inRadians(), anchor)});
        closers.push_back(Close::transform);
      }
    } else if (const auto* scale = std::get_if<ScaleEffectModifier>(&modifier)) {
      if (scale->x != 1 || scale->y != 1) {
        const Point anchor{r.x + scale->anchor.x * r.width, r.y + scale->anchor.y * r.height};
        out.emplace_back(
            Drawing::PushTransform{Drawing::AffineTransform::scale(scale->x, scale->y, anchor)});
        closers.push_back(Close::transform);
      }
    }
  }
  emitContent(node, env, out);
  for (const LayoutNode& child : node.children) emit(child, env, out);
  unwind();
}

}  // namespace

Drawing::DrawList drawCommands(const LayoutNode& root) {
  Drawing::DrawList out;
  emit(root, {}, out);
  return out;
}

}  // namespace SwiftUI
