#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Date.h"
#include "platform/ui/Layout.h"
#include "platform/ui/drawing/Chrome.h"
#include "platform/ui/drawing/DrawCommand.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/TextMeasurer.h"
#include "platform/widgetkit/ActivityPresentations.h"

// The platform's drawing of an activity's presentations: each presentation's
// views laid out at the size the platform gives them and placed into its
// chrome (Chrome.h), as one draw list over a canvas.
namespace WidgetKit {

// The four pictures of an activity: the lock-screen card, the expanded
// island, the compact island (leading and trailing together, as they are
// seen) and the minimal island.
enum class PresentationKind : std::uint8_t { lockScreen, expanded, compact, minimal };

inline constexpr std::array<PresentationKind, 4> allPresentationKinds{
    PresentationKind::lockScreen, PresentationKind::expanded, PresentationKind::compact,
    PresentationKind::minimal};

// "lock-screen", "expanded", "compact", "minimal" (the command line's names).
std::string_view nameOf(PresentationKind kind);
// The kind named so, else nullopt.
std::optional<PresentationKind> presentationKind(std::string_view name);

// A presentation ready to draw: the canvas in points and its commands.
struct Picture {
  SwiftUI::Drawing::Size canvas;
  SwiftUI::Drawing::DrawList list;
};

// How the platform places what each presentation's views chose:
//
// - lock screen: the view is offered the card's width and its ideal height;
//   the card takes that height (84…160) and the view's background tint.
// - expanded: the leading and trailing regions at their ideal sizes (at
//   most a third of the width each) on either side, the center region
//   offered the width between them (less 8 points beside a non-empty
//   side), the bottom region offered the whole width below the three, 8
//   points down; regions centred in their columns, tops aligned; the island
//   takes the height of all that, and its keyline the island's tint.
// - compact: each side offered its area less the inset that keeps a 20-pt
//   ring concentric with the pill's rounded end (8.335 points), centred
//   vertically, the leading side against the inset from the leading edge,
//   the trailing side against the inset from the trailing edge.
// - minimal: the view at its ideal size, centred in the minimal island.
//
// Keeps a layout engine, so the text measurements of one picture serve the
// next. Not thread-safe; the measurer must outlive the renderer.
// The expanded island's regions laid out as the platform places them inside
// the island's content area `width` wide: the leading and trailing sides at
// their ideal widths (at most a third of the island each), the centre
// between them, the bottom below, 8 points apart. Frames are relative to the
// content area. Drawing and hit testing both place the regions through this.
struct ExpandedRegionsLayout {
  std::vector<SwiftUI::LayoutNode> regions;  // leading, centre, trailing, bottom
  double height = 0;
};
ExpandedRegionsLayout layoutExpandedRegions(SwiftUI::LayoutEngine& engine, const DynamicIsland& island,
                                            double width, Foundation::Date now);

class PresentationRenderer {
 public:
  explicit PresentationRenderer(
      const SwiftUI::Drawing::TextMeasurer& measurer,
      SwiftUI::Drawing::ScreenSize screen = SwiftUI::Drawing::ScreenSize::standard)
      : engine_(measurer), screen_(screen) {}

  // The picture of one presentation with its timer texts read at `now`.
  Picture picture(const ActivityPresentations& presentations, PresentationKind kind,
                  Foundation::Date now);

 private:
  Picture lockScreen(const ActivityPresentations& presentations, Foundation::Date now);
  Picture expanded(const ActivityPresentations& presentations, Foundation::Date now);
  Picture compact(const ActivityPresentations& presentations, Foundation::Date now);
  Picture minimal(const ActivityPresentations& presentations, Foundation::Date now);

  SwiftUI::LayoutEngine engine_;
  SwiftUI::Drawing::ScreenSize screen_;
};

enum class PictureFormat : std::uint8_t { png, svg };

// "png" or "svg".
std::string_view nameOf(PictureFormat format);

// The picture encoded in `format` at `scale` pixels (or SVG units) a point,
// in the dark appearance, appended to `out`. A PNG is drawn and encoded 128
// rows at a time, so that no more than one band of pixels is held (a whole
// 3× lock-screen picture would be 2.7 MB); each band is drawn from the whole
// list, clipped to the band.
[[nodiscard]] std::optional<SwiftUI::Drawing::OutputError> encodePicture(const Picture& picture,
                                                                         PictureFormat format,
                                                                         double scale,
                                                                         std::string& out);

// The picture written to `path` (replaced atomically: a failure leaves no
// partial file there).
[[nodiscard]] std::optional<SwiftUI::Drawing::OutputError> writePicture(const Picture& picture,
                                                                        PictureFormat format,
                                                                        double scale,
                                                                        const std::string& path);

}  // namespace WidgetKit
