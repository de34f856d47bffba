#include "platform/ui/StackLayout.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace SwiftUI::detail {

using Drawing::Point;
using Drawing::Rect;
using Drawing::Size;

namespace {

constexpr CGFloat defaultStackSpacing = 8;

std::optional<CGFloat> spacingOf(const View& stack) {
  return stack.kind() == ViewKind::hstack ? stack.as<HStackNode>()->spacing
                                          : stack.as<VStackNode>()->spacing;
}

}  // namespace

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

StackPlan planStack(const View& stack, ProposedSize p, const MeasureChild& measure) {
  const std::vector<View>& children = stack.children();
  const bool horizontal = stack.kind() == ViewKind::hstack;
  const auto along = [horizontal](Size s) { return horizontal ? s.width : s.height; };
  const auto across = [horizontal](Size s) { return horizontal ? s.height : s.width; };
  const auto propose = [&](std::optional<CGFloat> length) {
    return horizontal ? ProposedSize{length, p.height} : ProposedSize{p.width, length};
  };
  const std::optional<CGFloat> offered = horizontal ? p.width : p.height;

  StackPlan plan;
  plan.axis = horizontal ? Axis::horizontal : Axis::vertical;
  plan.sizes.resize(children.size());
  plan.proposals.resize(children.size(), propose(std::nullopt));
  std::vector<std::size_t> present;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (children[i].kind() != ViewKind::emptyView) present.push_back(i);
  }
  if (present.empty()) return plan;
  const CGFloat spacing =
      spacingOf(stack).value_or(defaultStackSpacing) * static_cast<CGFloat>(present.size() - 1);

  const auto settle = [&](std::size_t i, std::optional<CGFloat> length) {
    plan.proposals[i] = propose(length);
    plan.sizes[i] = measure(children[i], plan.proposals[i]);
    return along(plan.sizes[i]);
  };

  if (!offered) {
    for (std::size_t i : present) settle(i, std::nullopt);
  } else {
    std::vector<CGFloat> mins(children.size()), maxes(children.size());
    std::vector<std::size_t> bounded, unbounded;
    CGFloat reserved = 0;
    for (std::size_t i : present) {
      mins[i] = along(measure(children[i], propose(0)));
      maxes[i] = along(measure(children[i], propose(infinity)));
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

std::vector<Rect> stackFrames(const View& stack, const StackPlan& plan, const Rect& bounds) {
  const std::vector<View>& children = stack.children();
  const bool horizontal = plan.axis == Axis::horizontal;
  const CGFloat gap = spacingOf(stack).value_or(defaultStackSpacing);
  std::vector<Rect> frames(children.size());
  CGFloat cursor = horizontal ? bounds.x : bounds.y;
  bool first = true;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const Size s = plan.sizes[i];
    if (children[i].kind() == ViewKind::emptyView) {
      frames[i] = horizontal ? Rect{cursor, bounds.y, 0, 0} : Rect{bounds.x, cursor, 0, 0};
      continue;
    }
    if (!first) cursor += gap;
    first = false;
    Point at;
    if (horizontal) {
      at = aligned({cursor, bounds.y, s.width, bounds.height}, s,
                   {HorizontalAlignment::leading, stack.as<HStackNode>()->alignment});
      cursor += s.width;
    } else {
      at = aligned({bounds.x, cursor, bounds.width, s.height}, s,
                   {stack.as<VStackNode>()->alignment, VerticalAlignment::top});
      cursor += s.height;
    }
    frames[i] = {at.x, at.y, s.width, s.height};
  }
  return frames;
}

}  // namespace SwiftUI::detail
