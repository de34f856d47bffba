#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/ui/Geometry.h"
#include "platform/ui/Layout.h"
#include "platform/ui/View.h"
#include "platform/ui/drawing/Geometry.h"

namespace SwiftUI::detail {

// The stack a view is in, which decides how a Spacer grows.
enum class Axis : std::uint8_t { none, horizontal, vertical };

// Where a child of `size` goes in `bounds` with `alignment`.
Drawing::Point aligned(const Drawing::Rect& bounds, Drawing::Size size, Alignment alignment);

// How an HStack or a VStack shares its length: the proposal each child was
// given and the size it chose for it, and the stack's own size.
struct StackPlan {
  Axis axis = Axis::none;
  std::vector<ProposedSize> proposals;
  std::vector<Drawing::Size> sizes;
  Drawing::Size size;
};

// The size a stack's child chooses for a proposal.
using MeasureChild = std::function<Drawing::Size(const View& child, ProposedSize proposal)>;

// The sharing of an HStack's or VStack's length among its children for `p`
// (see Layout.h), asking each child's size of `measure`.
StackPlan planStack(const View& stack, ProposedSize p, const MeasureChild& measure);

// The frames of an HStack's or VStack's children by `plan` when the stack is
// placed at `bounds`: one after the other along its axis, its spacing apart,
// each aligned across it by the stack's alignment. An EmptyView gets an
// empty frame where the next child starts, and no spacing.
std::vector<Drawing::Rect> stackFrames(const View& stack, const StackPlan& plan,
                                       const Drawing::Rect& bounds);

}  // namespace SwiftUI::detail
