#include "platform/ui/View.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace SwiftUI {

struct View::Node {
  NodeContent content;
  std::vector<Modifier> modifiers;
  std::vector<View> children;
};

static_assert(std::variant_size_v<NodeContent> == static_cast<std::size_t>(ViewKind::button) + 1);

std::string_view nameOf(ViewKind kind) {
  switch (kind) {
    case ViewKind::vstack: return "VStack";
    case ViewKind::hstack: return "HStack";
    case ViewKind::zstack: return "ZStack";
    case ViewKind::spacer: return "Spacer";
    case ViewKind::text: return "Text";
    case ViewKind::image: return "Image";
    case ViewKind::progressView: return "ProgressView";
    case ViewKind::circle: return "Circle";
    case ViewKind::emptyView: return "EmptyView";
    case ViewKind::button: return "Button";
  }
  return "EmptyView";
}

View::View() {
  // Every empty view shares one node.
  static const auto* const empty =
      new std::shared_ptr<Node>(std::make_shared<Node>(Node{EmptyViewNode{}, {}, {}}));
  node_ = *empty;
}

View::View(NodeContent content, std::vector<View> children)
    : node_(std::make_shared<Node>(Node{std::move(content), {}, std::move(children)})) {}

View::View(std::shared_ptr<Node> node) : node_(std::move(node)) {}

ViewKind View::kind() const {
  return static_cast<ViewKind>(node_->content.index());
}
const NodeContent& View::content() const {
  return node_->content;
}
const std::vector<Modifier>& View::modifiers() const {
  return node_->modifiers;
}
const std::vector<View>& View::children() const {
  return node_->children;
}

View View::applying(Modifier modifier) const& {
  auto node = std::make_shared<Node>(Node{node_->content, {}, node_->children});
  node->modifiers.reserve(node_->modifiers.size() + 1);
  node->modifiers = node_->modifiers;
  node->modifiers.push_back(std::move(modifier));
  return View(std::move(node));
}

View View::applying(Modifier modifier) && {
  // A temporary that is the node's only owner: no other view can observe the
  // node, so it may grow in place. (The shared empty node always has another
  // owner, so it is never changed.)
  if (node_.use_count() == 1) {
    node_->modifiers.push_back(std::move(modifier));
    return View(std::move(node_));
  }
  return static_cast<const View&>(*this).applying(std::move(modifier));
}

namespace {

StrokeModifier strokeWithWidth(Color color, CGFloat lineWidth) {
  StrokeStyle style;
  style.lineWidth = lineWidth;
  return StrokeModifier{color, std::move(style)};
}

}  // namespace

View View::font(Font font) const& {
  return applying(FontModifier{font});
}
View View::font(Font font) && {
  return std::move(*this).applying(FontModifier{font});
}
View View::fontWeight(Font::Weight weight) const& {
  return applying(FontWeightModifier{weight});
}
View View::fontWeight(Font::Weight weight) && {
  return std::move(*this).applying(FontWeightModifier{weight});
}
View View::foregroundColor(Color color) const& {
  return applying(ForegroundColorModifier{color});
}
View View::foregroundColor(Color color) && {
  return std::move(*this).applying(ForegroundColorModifier{color});
}
View View::lineLimit(std::optional<int> lines) const& {
  return applying(LineLimitModifier{lines});
}
View View::lineLimit(std::optional<int> lines) && {
  return std::move(*this).applying(LineLimitModifier{lines});
}
View View::truncationMode(TruncationMode mode) const& {
  return applying(TruncationModeModifier{mode});
}
View View::truncationMode(TruncationMode mode) && {
  return std::move(*this).applying(TruncationModeModifier{mode});
}
View View::tint(Color color) const& {
  return applying(TintModifier{color});
}
View View::tint(Color color) && {
  return std::move(*this).applying(TintModifier{color});
}
View View::padding(std::optional<CGFloat> length) const& {
  return applying(PaddingModifier{Edge::Set::all, length});
}
View View::padding(std::optional<CGFloat> length) && {
  return std::move(*this).applying(PaddingModifier{Edge::Set::all, length});
}
View View::padding(Edge::Set edges, std::optional<CGFloat> length) const& {
  return applying(PaddingModifier{edges, length});
}
View View::padding(Edge::Set edges, std::optional<CGFloat> length) && {
  return std::move(*this).applying(PaddingModifier{edges, length});
}
View View::frame(FrameModifier frame) const& {
  return applying(frame);
}
View View::frame(FrameModifier frame) && {
  return std::move(*this).applying(frame);
}
View View::trim(CGFloat from, CGFloat to) const& {
  return applying(TrimModifier{from, to});
}
View View::trim(CGFloat from, CGFloat to) && {
  return std::move(*this).applying(TrimModifier{from, to});
}
View View::stroke(Color color, StrokeStyle style) const& {
  return applying(StrokeModifier{color, std::move(style)});
}
View View::stroke(Color color, StrokeStyle style) && {
  return std::move(*this).applying(StrokeModifier{color, std::move(style)});
}
View View::stroke(Color color, CGFloat lineWidth) const& {
  return applying(strokeWithWidth(color, lineWidth));
}
View View::stroke(Color color, CGFloat lineWidth) && {
  return std::move(*this).applying(strokeWithWidth(color, lineWidth));
}
View View::rotationEffect(Angle angle, UnitPoint anchor) const& {
  return applying(RotationEffectModifier{angle, anchor});
}
View View::rotationEffect(Angle angle, UnitPoint anchor) && {
  return std::move(*this).applying(RotationEffectModifier{angle, anchor});
}
View View::scaleEffect(CGFloat x, CGFloat y, UnitPoint anchor) const& {
  return applying(ScaleEffectModifier{x, y, anchor});
}
View View::scaleEffect(CGFloat x, CGFloat y, UnitPoint anchor) && {
  return std::move(*this).applying(ScaleEffectModifier{x, y, anchor});
}
View View::opacity(double opacity) const& {
  return applying(OpacityModifier{opacity});
}
View View::opacity(double opacity) && {
  return std::move(*this).applying(OpacityModifier{opacity});
}
View View::monospacedDigit() const& {
  return applying(MonospacedDigitModifier{});
}
View View::monospacedDigit() && {
  return std::move(*this).applying(MonospacedDigitModifier{});
}
View View::multilineTextAlignment(TextAlignment alignment) const& {
  return applying(MultilineTextAlignmentModifier{alignment});
}
View View::multilineTextAlignment(TextAlignment alignment) && {
  return std::move(*this).applying(MultilineTextAlignmentModifier{alignment});
}
View View::buttonStyle(ButtonStyle style) const& {
  return applying(ButtonStyleModifier{style});
}
View View::buttonStyle(ButtonStyle style) && {
  return std::move(*this).applying(ButtonStyleModifier{style});
}

bool operator==(const View& a, const View& b) {
  if (a.node_ == b.node_) return true;
  return a.node_->content == b.node_->content && a.node_->modifiers == b.node_->modifiers &&
         a.node_->children == b.node_->children;
}

namespace {

// A timer's seconds as the platform shows them: m:ss with unpadded minutes,
// h:mm:ss from one hour on when hours are shown.
std::string formatTimer(std::int64_t seconds, bool showsHours) {
  std::int64_t minutes = seconds / 60;
  std::int64_t secs = seconds % 60;
  char buffer[64];
  if (showsHours && minutes >= 60) {
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", static_cast<long long>(minutes / 60),
                  static_cast<long long>(minutes % 60), static_cast<long long>(secs));
  } else {
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld", static_cast<long long>(minutes),
                  static_cast<long long>(secs));
  }
  return buffer;
}

}  // namespace

std::string TextNode::displayText(Foundation::Date now) const {
  if (const auto* verbatim = std::get_if<Verbatim>(&content)) return verbatim->text;
  if (const auto* localized = std::get_if<Localized>(&content)) return localized->key.resolved();
  const auto& timer = std::get<Timer>(content);
  // The reading is taken at the pause time when there is one, and kept
  // within the interval: before it the timer stands at its start, after it
  // at its end.
  double from = timer.interval.lowerBound.timeIntervalSinceReferenceDate;
  double to = timer.interval.upperBound.timeIntervalSinceReferenceDate;
  double reading = (timer.pauseTime ? *timer.pauseTime : now).timeIntervalSinceReferenceDate;
  reading = std::fmin(std::fmax(reading, from), to);
  // Whole seconds: a count-down rounds up, so that it shows 0:00 only at its
  // end; a count-up rounds down.
  double seconds = timer.countsDown ? std::ceil(to - reading) : std::floor(reading - from);
  if (!(seconds >= 0)) seconds = 0;
  if (seconds > 9.0e15) seconds = 9.0e15;
  return formatTimer(static_cast<std::int64_t>(seconds), timer.showsHours);
}

}  // namespace SwiftUI
