#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/ui/Color.h"
#include "platform/ui/View.h"
#include "platform/ui/drawing/DrawCommand.h"
#include "platform/ui/drawing/FontDescriptor.h"
#include "platform/ui/drawing/Geometry.h"
#include "platform/ui/drawing/TextMeasurer.h"

// Layout of a view tree, the platform's way, and the draw commands of the
// result.
//
// A parent proposes a size to each child; the child chooses its own size
// (it may take less or more than proposed); the parent then places the
// child. A proposal's dimension may be absent, which asks for the view's
// ideal size on that axis, or infinite, which asks for its largest.
//
//   LayoutEngine engine(measurer);
//   LayoutNode root = engine.layout(view, {.width = 371});
//   Drawing::DrawList list = drawCommands(root);
//
// How each view chooses its size:
//
// - Text: in the font of its environment (body by default) at the
//   engine's text size, measured by the TextMeasurer. When its one line is
//   wider than the proposed width, it wraps onto as many lines as that
//   width needs (TextMeasurer::lineBreaks), at most its lineLimit and at
//   most as many as fit in a finite proposed height (at least one); the
//   last line it shows, when the text goes on past it, is cut at the tail
//   at a character (grapheme) boundary and ends in "…". With lineLimit(1)
//   it is thus always one line, cut to the width. Head and middle
//   truncation are drawn as tail truncation. Size: the widest line by the
//   lines times the style's line height. Lines are aligned within that
//   width by multilineTextAlignment (leading by default).
// - Image(systemName:): a square of the font's point size (so a symbol set
//   in a text style grows with the text size).
// - ProgressView: the proposed width (0 when absent) by 4 points, the
//   height of the platform's linear bar.
// - Circle and other shapes: the proposed size (10 × 10 when absent); the
//   circle is inscribed in it.
// - Spacer: along its stack's axis at least its minimum length (8 when not
//   given) and as much as proposed; nothing across. Outside a stack, the
//   proposal on both axes, at least its minimum.
// - EmptyView: nothing, and a stack leaves it out of its spacing.
// - Button: its label (every button here has the plain style).
// - ZStack: proposes its own proposal to every child and is as large as the
//   largest; children are aligned in it by the stack's alignment.
// - HStack and VStack: spacing (8 when not given) between present children;
//   the rest of the proposed length is shared in two rounds. First the
//   children whose largest size is finite (texts, images, fixed frames),
//   least flexible (largest minus smallest size) first, each offered an
//   equal share of what is left once the minimums of the others in the
//   second round are set aside. Then the children that can grow without
//   bound (spacers, a frame with an infinite maximum) share the rest
//   equally. Across the axis each child is offered the stack's own
//   proposal and aligned by the stack's alignment. A stack offered no
//   length along its axis gives every child its ideal length.
//
// Modifiers, outermost first, each wrap the view they were applied to:
// padding (16 when no length is given) shrinks the proposal and grows the
// size by its insets; frame(width:height:) fixes what it is given, and a
// flexible frame clamps the proposal to its bounds and chooses the proposal
// clamped to them (so maxWidth: infinity takes all the width offered) or
// the child's size where it has no bound; the child is aligned within.
// font, fontWeight, foregroundColor, tint, lineLimit, truncationMode,
// multilineTextAlignment and monospacedDigit set the environment of
// everything inside, the innermost setting winning. scaleEffect,
// rotationEffect and opacity change only the drawing, never the layout.
namespace SwiftUI {

// The size a parent offers a child. An absent dimension asks for the
// child's ideal size; infinity for its largest, 0 for its smallest.
struct ProposedSize {
  std::optional<CGFloat> width;
  std::optional<CGFloat> height;
  friend bool operator==(const ProposedSize&, const ProposedSize&) = default;
};

// One line of a text as laid out: the string shown on it (the last line cut
// with "…" if it had to be), its measured extent, and where it is drawn.
struct TextLine {
  std::string text;
  Drawing::TextMetrics metrics;
  Drawing::Point origin;  // the start of its baseline, in the root's coordinates
};

// A text as laid out: the lines it shows and what of it they leave out.
struct LaidOutText {
  std::vector<TextLine> lines;  // top to bottom
  // The last line shown was cut at the tail: it ends in "…", or is empty
  // when not even "…" fits.
  bool truncated = false;
  // Lines of the wrapped text below the last one shown, left out by the line
  // limit or the proposed height. A text cut to one line is not wrapped
  // first, so it leaves none out: it is only truncated.
  std::size_t hiddenLines = 0;
};

// What a view's environment comes to where it is: what its drawing reads.
struct ResolvedEnvironment {
  Drawing::FontDescriptor font;       // of a text and of a symbol
  Color foreground = Color::primary;  // a text, a symbol, a filled shape
  Color tint = Color::blue;           // a progress bar

  friend bool operator==(const ResolvedEnvironment&, const ResolvedEnvironment&) = default;
};

// A view as laid out. `layers[0]` is the frame of the view itself, before
// any modifier; `layers[k]` the frame with its first k modifiers applied;
// `layers.back()` its frame in its parent. All frames are in the root's
// coordinates. `environment` is the one its content sees (inside all of its
// own modifiers). `children` follow the view's children in order (a
// button's label is its child); a stack's EmptyView children get an empty
// frame.
struct LayoutNode {
  View view;
  std::vector<Drawing::Rect> layers;
  ResolvedEnvironment environment;
  LaidOutText text;  // Text views only
  std::vector<LayoutNode> children;

  const Drawing::Rect& frame() const { return layers.back(); }
  const Drawing::Rect& contentFrame() const { return layers.front(); }
};

// The font a text or symbol is drawn in for the environment's font and
// weight at a text size: the text style's size there (body when no font is
// set; see Drawing::textStyleMetrics), the weight given or the style's,
// tabular figures with monospacedDigit. largeTitle, title and title2 have
// no drawing style of their own and become a system font of the platform's
// default size for them (34, 28, 22), which does not scale; neither does
// Font::system(size).
Drawing::FontDescriptor fontDescriptor(
    const std::optional<Font>& font, const std::optional<Font::Weight>& weight,
    bool monospacedDigits = false,
    Drawing::DynamicTypeSize typeSize = Drawing::DynamicTypeSize::large);

// Lays out view trees with one text measurer, at one text size (the user's
// setting: text styles and the symbols set in them scale with it; large,
// the default, unless told). Keeps what it measured (texts, their
// truncations and line breaks, by font) between layouts, so that a frame
// that shows the same texts as the last one measures nothing again; each
// cache is emptied when it grows past a few thousand entries.
//
// The appearance (dark or light) plays no part in layout: views with no
// foreground colour are drawn in the adaptive Color::primary, which the
// renderer resolves (Drawing::RenderOptions::appearance).
//
// Not thread-safe (nor is a measurer): one engine a thread. The measurer
// must outlive the engine.
class LayoutEngine {
 public:
  explicit LayoutEngine(const Drawing::TextMeasurer& measurer,
                        Drawing::DynamicTypeSize typeSize = Drawing::DynamicTypeSize::large);
  ~LayoutEngine();
  LayoutEngine(const LayoutEngine&) = delete;
  LayoutEngine& operator=(const LayoutEngine&) = delete;

  // Lays out later calls at `typeSize`; what is cached stays valid.
  void setDynamicTypeSize(Drawing::DynamicTypeSize typeSize);

  // The size `view` chooses for `proposal`.
  Drawing::Size sizeThatFits(const View& view, ProposedSize proposal, Foundation::Date now = {});

  // Lays out `view` for `proposal` with its top-left corner at `origin`.
  // Timer texts show their reading at `now`.
  LayoutNode layout(const View& view, ProposedSize proposal, Drawing::Point origin = {},
                    Foundation::Date now = {});

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The draw commands of a laid-out tree, in the root's coordinates, back to
// front:
//
// - Text: DrawText of each line at its origin (the line's top plus the
//   font's ascent and half the leading; across, where the text's alignment
//   puts it), in the foreground colour (Color::primary by default).
// - Image(systemName:): DrawSymbol over its square, in the font's weight
//   and the foreground colour (Color::primary by default).
// - ProgressView: DrawProgressBar over its frame at value / total, in the
//   tint (blue, the platform's accent, by default).
// - Circle: with stroke, StrokeCircle of the inscribed circle trimmed as
//   trim says, in the stroke's colour and style; without, FillCircle in the
//   foreground colour (a trimmed fill draws nothing).
// - opacity: BeginOpacity … EndOpacity around the view when below 1;
//   nothing at all at 0 or below (the view still takes its space).
// - rotationEffect and scaleEffect: PushTransform … PopTransform, turning
//   or scaling about the anchor's point of the frame the modifier was
//   applied to.
Drawing::DrawList drawCommands(const LayoutNode& root);

}  // namespace SwiftUI
