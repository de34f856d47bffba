#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/ui/Layout.h"
#include "platform/ui/drawing/DrawCommand.h"
#include "platform/ui/drawing/FontDescriptor.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/TextMeasurer.h"
#include "platform/widgetkit/ActivityPresentations.h"
#include "platform/widgetkit/Chrome.h"

// The platform's drawing of an activity's presentations: each presentation's
// views laid out at the size the platform gives them and placed into its
// chrome (Chrome.h), then drawn as one draw list over a canvas.
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

// How the phone that shows a presentation is set up: the system's
// appearance (the lock screen follows it; the island is always dark), the
// user's text size and the screen.
struct PictureVariant {
  SwiftUI::Drawing::Appearance appearance = SwiftUI::Drawing::Appearance::dark;
  SwiftUI::Drawing::DynamicTypeSize textSize = SwiftUI::Drawing::DynamicTypeSize::large;
  ScreenSize screen = ScreenSize::standard;
  friend constexpr bool operator==(const PictureVariant&, const PictureVariant&) = default;
};

// A presentation ready to draw: the canvas in points, its commands, and the
// appearance its adaptive colours resolve in.
struct Picture {
  SwiftUI::Drawing::Size canvas;
  SwiftUI::Drawing::DrawList list;
  SwiftUI::Drawing::Appearance appearance = SwiftUI::Drawing::Appearance::dark;
};

// A button of a presentation and where it lies on the presentation's
// picture, in points from the canvas's top-left corner.
struct ButtonRegion {
  SwiftUI::Drawing::Rect frame;
  SwiftUI::View button;
};

// One presentation placed on its picture, computed once and read by
// everything that needs to know where things are: drawing (picture()), hit
// testing (PresentationHitTest.h), the preview page.
//
// How the platform places what each presentation's views chose:
//
// - lock screen: the view is offered the card's width and its ideal height;
//   the card takes that height (84…160, what lies below 160 cut off), the
//   view's background tint over the appearance's material; a view narrower
//   than the card is centred on it.
// - expanded: the leading and trailing regions at their ideal sizes (at
//   most a third of the width each) on either side, the center region
//   offered the width between them (less 8 points beside a non-empty
//   side), the bottom region offered the whole width below the three, 8
//   points down; regions centred in their columns, tops aligned; the island
//   takes the height of all that (up to 160, what lies below cut off), and
//   its keyline the island's tint.
// - compact: each side offered its area's height and its width less the
//   inset that keeps a 20-pt ring concentric with the pill's rounded end
//   (8.335 points), centred
//   vertically, the leading side against the inset from the leading edge,
//   the trailing side against the inset from the trailing edge.
// - minimal: the view at its ideal size, centred in the minimal island.
//
// Buttons act only on the lock screen and in the expanded island, where the
// platform hands their taps to the activity's intents; a button's region is
// cut to the chrome's shape (what the clip hides cannot be tapped). A tap
// anywhere else on an island's shape opens the island's widget URL.
struct PlacedPresentation {
  // The views laid out in one of the chrome's content rects: each node's
  // frames are relative to the rect's origin moved by `offset`.
  struct Content {
    SwiftUI::Drawing::Point offset;
    std::vector<SwiftUI::LayoutNode> nodes;
    // What the describe format calls each node's view: "lockScreen";
    // "leading", "center", "trailing", "bottom"; "compactLeading",
    // "compactTrailing"; "minimal".
    std::vector<std::string_view> names;
  };

  PresentationKind kind = PresentationKind::lockScreen;
  // The lock screen's is the variant's; the island's always dark.
  SwiftUI::Drawing::Appearance appearance = SwiftUI::Drawing::Appearance::dark;
  Chrome chrome;                  // canvas, shape (the tappable area) and content rects
  std::vector<Content> contents;  // one for each of chrome.content, in order
  std::vector<ButtonRegion> buttons;

  // A rect of a laid-out node of contents[i], in canvas points.
  SwiftUI::Drawing::Rect onCanvas(std::size_t content, const SwiftUI::Drawing::Rect& frame) const;
};

// Places and draws presentations in one variant (the default unless told).
// Keeps a layout engine, so the text measurements of one picture serve the
// next, also across variants. Not thread-safe; the measurer must outlive the
// renderer.
class PresentationRenderer {
 public:
  explicit PresentationRenderer(const SwiftUI::Drawing::TextMeasurer& measurer,
                                ScreenSize screen = ScreenSize::standard)
      : PresentationRenderer(measurer, PictureVariant{.screen = screen}) {}
  PresentationRenderer(const SwiftUI::Drawing::TextMeasurer& measurer, PictureVariant variant)
      : engine_(measurer, variant.textSize), variant_(variant) {}

  const PictureVariant& variant() const { return variant_; }
  // Places and draws later calls in `variant`.
  void setVariant(PictureVariant variant) {
    engine_.setDynamicTypeSize(variant.textSize);
    variant_ = variant;
  }

  // Where one presentation goes, with its timer texts read at `now`.
  PlacedPresentation place(const ActivityPresentations& presentations, PresentationKind kind,
                           Foundation::Date now);

  // The picture of a placed presentation.
  static Picture picture(const PlacedPresentation& placed);
  // Both at once.
  Picture picture(const ActivityPresentations& presentations, PresentationKind kind,
                  Foundation::Date now) {
    return picture(place(presentations, kind, now));
  }

 private:
  PlacedPresentation lockScreen(const ActivityPresentations& presentations, Foundation::Date now);
  PlacedPresentation expanded(const ActivityPresentations& presentations, Foundation::Date now);
  PlacedPresentation compact(const ActivityPresentations& presentations, Foundation::Date now);
  PlacedPresentation minimal(const ActivityPresentations& presentations, Foundation::Date now);

  SwiftUI::LayoutEngine engine_;
  PictureVariant variant_;
};

enum class PictureFormat : std::uint8_t { png, svg };

// "png" or "svg".
std::string_view nameOf(PictureFormat format);

// The picture encoded in `format` at `scale` pixels (or SVG units) a point,
// in the picture's appearance, appended to `out` (a PNG is drawn a band of rows
// at a time; see Drawing::encodePNG).
SwiftUI::Drawing::OutputResult<void> encodePicture(const Picture& picture, PictureFormat format,
                                                   double scale, std::string& out);

// The picture encoded and written where `path` points (Drawing::writeFile:
// through links and into FIFOs and devices; a regular file is replaced
// whole or not at all).
SwiftUI::Drawing::OutputResult<void> writePicture(const Picture& picture, PictureFormat format,
                                                  double scale, const std::string& path);

}  // namespace WidgetKit
