// The draw commands of a laid-out tree (drawCommands in Layout.h): each
// node's content in the environment layout resolved for it, inside the
// opacity and transforms of its drawing-only modifiers.
#include <algorithm>
#include <cstdint>
#include <variant>
#include <vector>

#include "platform/ui/Layout.h"

namespace SwiftUI {

namespace {

using Drawing::Point;
using Drawing::Rect;

Drawing::StrokeStyle drawingStroke(const StrokeStyle& s) {
  return Drawing::StrokeStyle(s.lineWidth, s.lineCap, s.lineJoin, s.miterLimit, s.dash,
                              s.dashPhase);
}

void emitContent(const LayoutNode& node, Drawing::DrawList& out) {
  const Rect& r = node.contentFrame();
  const ResolvedEnvironment& env = node.environment;
  switch (node.view.kind()) {
    case ViewKind::text:
      for (const TextLine& line : node.text.lines) {
        if (line.text.empty()) continue;
        out.emplace_back(Drawing::DrawText{line.text, env.font, env.foreground, line.origin,
                                           line.metrics.width});
      }
      return;
    case ViewKind::image:
      out.emplace_back(Drawing::DrawSymbol{node.view.as<ImageNode>()->systemName, r,
                                           env.font.weight, env.foreground});
      return;
    case ViewKind::progressView: {
      const ProgressViewNode& bar = *node.view.as<ProgressViewNode>();
      out.emplace_back(Drawing::DrawProgressBar{r, bar.value / bar.total, env.tint, std::nullopt});
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
        out.emplace_back(Drawing::FillCircle{center, radius, env.foreground});
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

void emit(const LayoutNode& node, Drawing::DrawList& out) {
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
  emitContent(node, out);
  for (const LayoutNode& child : node.children) emit(child, out);
  unwind();
}

}  // namespace

Drawing::DrawList drawCommands(const LayoutNode& root) {
  Drawing::DrawList out;
  emit(root, out);
  return out;
}

}  // namespace SwiftUI
