#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/ui/drawing/DrawCommand.h"
#include "platform/ui/drawing/ResolvedColor.h"

// The platform's own drawing around a Live Activity's views: the lock-screen
// card and the Dynamic Island's shapes, each on a wallpaper-like backdrop so
// that a black island stays visible in a picture. The island is the same in
// either appearance; the lock-screen card's material follows it (see
// lockScreenChrome).
//
// Each builder gives the canvas size, the shape, the rects the extension's
// content is placed into, and the commands to draw before and after the
// content. Everything between `background` and `foreground` is clipped to
// the shape.
//
// Geometry, in points, for a 393-pt-wide screen (430-pt values in brackets):
//
// | presentation  | shape                                  | content rect                      |
// |---------------|----------------------------------------|-----------------------------------|
// | lock screen   | card 371 [408] × clamp(h, 84, 160),    | the card's width × h; centred     |
// |               | corner radius 22                       | vertically when h < 84, from the  |
// |               |                                        | top (cut at the bottom) when      |
// |               |                                        | h > 160                           |
// | expanded      | island 371 [408] × clamp(h + 52.67,    | inset 20 left and right, 36.67    |
// | island        | 84, 160), black, corner radius 44,     | from the top (the camera's band), |
// |               | a 1-pt keyline in the tint inside it   | 16 from the bottom; h tall,       |
// |               |                                        | centred in the space left when    |
// |               |                                        | the island is at its minimum      |
// | compact       | pill 230 [250] × 36.67, black          | leading: the pill's first 52.33   |
// |               |                                        | [62.33] × 36.67; trailing: its    |
// |               |                                        | last 52.33 [62.33]; the camera    |
// |               |                                        | takes the middle 125.33           |
// | minimal       | clamp(w + 16, 36.67, 45) × 36.67,      | w × h centred in the shape        |
// |               | black, fully rounded                   |                                   |
//
// h is the content's height (w its width) as laid out at the content
// width. Every canvas is the shape plus a 14-pt margin on all sides (the
// lock screen's notification margins), filled with the backdrop; the shape's
// top-left corner is at (14, 14).
namespace WidgetKit {

enum class ScreenSize : std::uint8_t {
  standard,  // 393 × 852 points
  large,     // 430 × 932 points
};
inline constexpr std::array allScreenSizes{ScreenSize::standard, ScreenSize::large};

// "393x852" or "430x932" (the command line's names).
std::string_view nameOf(ScreenSize screen);
// The screen of that name (exactly); nullopt for any other.
std::optional<ScreenSize> screenSizeNamed(std::string_view name);

inline constexpr double chromeMargin = 14;
inline constexpr double islandHeight = 36.67;  // compact and minimal island height

// One presentation's chrome.
struct Chrome {
  SwiftUI::Drawing::Size canvas;
  SwiftUI::Drawing::Rect shape;
  std::vector<SwiftUI::Drawing::Rect> content;  // one rect (the compact island: leading, trailing)
  SwiftUI::Drawing::DrawList background;        // backdrop, shape, then a PushClip to the shape
  SwiftUI::Drawing::DrawList
      foreground;  // PopClip, then anything drawn over the content (the keyline)

  // background, then each list (in the coordinates of its content rect)
  // moved to its rect's origin, then foreground.
  SwiftUI::Drawing::DrawList compose(
      const std::vector<SwiftUI::Drawing::DrawList>& contentLists) const;
};

// The width the layout should propose to lock-screen and expanded content.
double lockScreenContentWidth(ScreenSize screen = ScreenSize::standard);
double expandedContentWidth(ScreenSize screen = ScreenSize::standard);

// The lock-screen card: the backdrop, the card in the appearance's material,
// then the activity's background tint over it (absent: the material alone).
// The materials stand in for the platform's blurred ones without the blur:
//
// - dark: white at 12 % over the wallpaper, which leaves the card dark and
//   translucent (the backdrop shows through, a shade lighter);
// - light: 242,242,247 at 88 %, a pale card with a hint of the wallpaper.
Chrome lockScreenChrome(
    double contentHeight, const std::optional<SwiftUI::Drawing::Paint>& backgroundTint,
    ScreenSize screen = ScreenSize::standard,
    SwiftUI::Drawing::Appearance appearance = SwiftUI::Drawing::Appearance::dark);

// The expanded island, its keyline stroked in `keylineTint` (absent: none).
Chrome expandedIslandChrome(double contentHeight,
                            const std::optional<SwiftUI::Drawing::Paint>& keylineTint,
                            ScreenSize screen = ScreenSize::standard);

// The compact island around its two areas.
Chrome compactIslandChrome(ScreenSize screen = ScreenSize::standard);

// The minimal island around content of the given size.
Chrome minimalIslandChrome(SwiftUI::Drawing::Size contentSize);

// The wallpaper-like backdrop over a canvas: a dark blue-to-violet diagonal
// gradient.
SwiftUI::Drawing::FillLinearGradient backdrop(SwiftUI::Drawing::Size canvas);

}  // namespace WidgetKit
