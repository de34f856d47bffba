#include "platform/ui/Layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "platform/ui/LayoutEnvironment.h"
#include "platform/ui/StackLayout.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/drawing/Symbols.h"

// Sizing and placing are one walk over a view's modifiers, outermost first
// (LayoutEngine::Impl::layOut): sizing asks it for the size a view chooses,
// placing also hands it the frame the view was given and a node to fill.
// Each modifier that changes layout has one function that does both, so the
// two cannot disagree; texts and stacks have files of their own
// (TextLayout.cpp, StackLayout.cpp), and the draw commands are read from the
// finished nodes (DrawCommands.cpp).
namespace SwiftUI {

using detail::Axis;
using detail::Environment;
using Drawing::FontDescriptor;
using Drawing::Point;
using Drawing::Rect;
using Drawing::Size;

namespace {

constexpr CGFloat defaultSpacerMinLength = 8;
constexpr CGFloat defaultPadding = 16;
constexpr CGFloat progressBarHeight = 4;
constexpr CGFloat shapeIdealLength = 10;

// How a modifier's layer reaches the view inside it: `inner(proposal,
// placed)` sizes the inner layer for `proposal` and, when `placed` is given,
// places it there.

// Padding proposes its proposal less its insets, is as large as what it
// wraps plus its insets, and places it inside them.
template <typename Inner>
Size pad(const PaddingModifier& padding, ProposedSize p, const Rect* placed, Inner&& inner) {
  const CGFloat length = padding.length.value_or(defaultPadding);
  const auto inset = [&](Edge::Set edge) {
    return (static_cast<unsigned>(padding.edges) & static_cast<unsigned>(edge)) != 0 ? length : 0;
  };
  const CGFloat top = inset(Edge::Set::top), leading = inset(Edge::Set::leading),
                bottom = inset(Edge::Set::bottom), trailing = inset(Edge::Set::trailing);
  const auto shrink = [](std::optional<CGFloat> proposed, CGFloat by) -> std::optional<CGFloat> {
    if (!proposed) return std::nullopt;
    return std::max<CGFloat>(0, *proposed - by);
  };
  const ProposedSize proposal{shrink(p.width, leading + trailing), shrink(p.height, top + bottom)};
  if (placed) {
    const Rect r{placed->x + leading, placed->y + top,
                 std::max<CGFloat>(0, placed->width - leading - trailing),
                 std::max<CGFloat>(0, placed->height - top - bottom)};
    inner(proposal, &r);
    return placed->size();
  }
  const Size child = inner(proposal, nullptr);
  return {child.width + leading + trailing, child.height + top + bottom};
}

// The proposal a flexible frame passes to its child along one axis.
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

// The length a flexible frame chooses along one axis, given its child's.
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

// A frame proposes what it fixes, or the proposal clamped to its bounds;
// chooses its fixed lengths or the child's clamped (see Layout.h); and
// aligns the child within itself.
template <typename Inner>
Size frame(const FrameModifier& f, ProposedSize p, const Rect* placed, Inner&& inner) {
  const bool flexible =
      f.minWidth || f.idealWidth || f.maxWidth || f.minHeight || f.idealHeight || f.maxHeight;
  const ProposedSize proposal =
      flexible
          ? ProposedSize{frameChildProposal(p.width, f.width, f.minWidth, f.idealWidth, f.maxWidth),
                         frameChildProposal(p.height, f.height, f.minHeight, f.idealHeight,
                                            f.maxHeight)}
          : ProposedSize{f.width ? f.width : p.width, f.height ? f.height : p.height};
  const Size child = inner(proposal, nullptr);
  if (placed) {
    const Point at = detail::aligned(*placed, child, f.alignment);
    const Rect r{at.x, at.y, child.width, child.height};
    inner(proposal, &r);
    return placed->size();
  }
  return {frameLength(p.width, f.width, f.minWidth, f.idealWidth, f.maxWidth, child.width),
          frameLength(p.height, f.height, f.minHeight, f.idealHeight, f.maxHeight, child.height)};
}

// A view's size for one layout: the view, how far in its modifiers, in which
// stack, the proposal, and what of the environment its size depends on.
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

}  // namespace

struct LayoutEngine::Impl {
  Impl(const Drawing::TextMeasurer& m, Drawing::DynamicTypeSize size) : texts(m), typeSize(size) {}

  detail::TextLayout texts;  // kept between layouts
  Drawing::DynamicTypeSize typeSize;
  Foundation::Date now;
  std::unordered_map<SizeKey, Size, SizeKeyHash> sizeCache;  // kept for one layout

  void beginPass(Foundation::Date date) {
    now = date;
    sizeCache.clear();
    texts.trim();
  }

  Environment rootEnvironment() const {
    Environment env;
    env.typeSize = typeSize;
    return env;
  }

  // The size of `view` for `p`, remembered for the rest of the layout.
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
    const Size size = layOut(view, layer, p, env, axis, nullptr, nullptr);
    sizeCache.emplace(key, size);
    return size;
  }

  // Lays out `view` at `placed` (the size it chose for `p`, put where its
  // parent put it) into `node`.
  void place(const View& view, const Rect& placed, ProposedSize p, const Environment& env,
             Axis axis, LayoutNode& node) {
    node.view = view;
    node.layers.assign(view.modifiers().size() + 1, Rect{});
    layOut(view, view.modifiers().size(), p, env, axis, &placed, &node);
  }

  // The size of `view` with its first `layer` modifiers applied, for `p`;
  // with `placed`, also lays that layer out there into `node`.
  Size layOut(const View& view, std::size_t layer, ProposedSize p, const Environment& env,
              Axis axis, const Rect* placed, LayoutNode* node) {
    if (placed) node->layers[layer] = *placed;
    if (layer == 0) {
      if (!placed) return contentSize(view, p, env, axis);
      placeContent(view, *placed, p, env, *node);
      return placed->size();
    }
    const auto inner = [&](ProposedSize innerProposal, const Rect* innerPlaced) {
      return layOut(view, layer - 1, innerProposal, env, axis, innerPlaced, node);
    };
    const Modifier& modifier = view.modifiers()[layer - 1];
    if (const auto* padding = std::get_if<PaddingModifier>(&modifier)) {
      return pad(*padding, p, placed, inner);
    }
    if (const auto* f = std::get_if<FrameModifier>(&modifier)) return frame(*f, p, placed, inner);
    Environment innerEnv = env;
    detail::applyToEnvironment(innerEnv, modifier);
    return layOut(view, layer - 1, p, innerEnv, axis, placed, node);
  }

  Size layOutText(const View& text, ProposedSize p, const Environment& env, LaidOutText* out) {
    return texts.layOut(text.as<TextNode>()->displayText(now), env.resolvedFont(), env.lineLimit, p,
                        out);
  }

  detail::StackPlan planStack(const View& stack, ProposedSize p, const Environment& env) {
    const Axis axis = stack.kind() == ViewKind::hstack ? Axis::horizontal : Axis::vertical;
    return detail::planStack(stack, p, [&](const View& child, ProposedSize proposal) {
      return measure(child, proposal, env, axis);
    });
  }

  Size contentSize(const View& view, ProposedSize p, const Environment& env, Axis axis) {
    switch (view.kind()) {
      case ViewKind::text: return layOutText(view, p, env, nullptr);
      case ViewKind::image: return Drawing::symbolSize(env.resolvedFont().size);
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
      case ViewKind::vstack: return planStack(view, p, env).size;
    }
    return {};
  }

  void placeContent(const View& view, const Rect& rect, ProposedSize p, const Environment& env,
                    LayoutNode& node) {
    node.environment = env.resolved();
    const std::vector<View>& children = view.children();
    switch (view.kind()) {
      case ViewKind::text:
        node.text = {};
        layOutText(view, p, env, &node.text);
        detail::placeLines(node.text, rect, env.textAlignment);
        return;
      case ViewKind::button:
        if (!children.empty()) {
          node.children.resize(1);
          place(children.front(), rect, p, env, Axis::none, node.children.front());
        }
        return;
      case ViewKind::zstack: {
        node.children.resize(children.size());
        const Alignment alignment = view.as<ZStackNode>()->alignment;
        for (std::size_t i = 0; i < children.size(); ++i) {
          const Size s = measure(children[i], p, env, Axis::none);
          const Point at = detail::aligned(rect, s, alignment);
          place(children[i], {at.x, at.y, s.width, s.height}, p, env, Axis::none, node.children[i]);
        }
        return;
      }
      case ViewKind::hstack:
      case ViewKind::vstack: {
        const detail::StackPlan plan = planStack(view, p, env);
        const std::vector<Rect> frames = detail::stackFrames(view, plan, rect);
        node.children.resize(children.size());
        for (std::size_t i = 0; i < children.size(); ++i) {
          place(children[i], frames[i], plan.proposals[i], env, plan.axis, node.children[i]);
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
  impl_->place(view, {origin.x, origin.y, size.width, size.height}, proposal, env, Axis::none,
               root);
  return root;
}

}  // namespace SwiftUI
