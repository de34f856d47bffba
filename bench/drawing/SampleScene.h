#pragma once

// A lock-screen presentation laid out by hand the way the layout pass lays
// out the download activity: about thirty commands with the card's chrome.

#include <numbers>

#include "platform/ui/drawing/TextMeasurer.h"
#include "platform/widgetkit/Chrome.h"

namespace SwiftUI::Drawing::bench {

inline DrawList lockScreenScene(const TextMeasurer& measurer, Size* canvas) {
  const WidgetKit::Chrome chrome =
      WidgetKit::lockScreenChrome(112, Paint{Color::black.opacity(0.3)});
  *canvas = chrome.canvas;
  const double width = chrome.content[0].width;
  DrawList content;
  auto text = [&](std::string s, FontDescriptor font, Paint color, double x, double top) {
    const TextMetrics m = measurer.measure(s, font);
    content.emplace_back(
        DrawText{std::move(s), font, color, {x, top + m.baselineFromTop()}, m.width});
    return m.width;
  };
  // Header row: badge, title and status, percentage.
  const Point c{16 + 14, 16 + 16};
  content.emplace_back(StrokeCircle{c, 14, 0, 1, StrokeStyle{3}, Color::blue.opacity(0.3)});
  content.emplace_back(PushTransform{AffineTransform::rotation(-std::numbers::pi / 2, c)});
  content.emplace_back(StrokeCircle{c, 14, 0, 0.42, StrokeStyle{3, LineCap::round}, Color::blue});
  content.emplace_back(PopTransform{});
  content.emplace_back(DrawSymbol{
      "arrow.down", {c.x - 6.3, c.y - 6.3, 12.6, 12.6}, FontWeight::regular, Color::blue});
  const FontDescriptor title = FontDescriptor::textStyle(TextStyle::subheadline, FontWeight::bold);
  text(measurer.truncateTail("Photos, Maps, Music and 2 more", title, 220), title, Color::white, 54,
       13);
  text("Downloading (2/5)", FontDescriptor::textStyle(TextStyle::caption), Color::blue, 54, 35);
  const FontDescriptor percent = FontDescriptor::textStyle(TextStyle::title3, FontWeight::bold);
  const double pw = measurer.measure("42%", percent).width;
  text("42%", percent, Color::blue, width - 16 - pw, 19.5);
  // Progress block.
  content.emplace_back(DrawProgressBar{{16, 68, width - 32, 4}, 0.42, Color::blue, std::nullopt});
  const FontDescriptor caption2 = FontDescriptor::textStyle(TextStyle::caption2);
  text("1.2 MB/s", caption2, Color::secondary, 16, 76);
  content.emplace_back(
      DrawSymbol{"clock", {150, 77, 11, 11}, FontWeight::regular, Color::secondary});
  text("12:04", caption2.withMonospacedDigits(), Color::secondary, 164, 76);
  const double bw = measurer.measure("1.2 GB / 3.4 GB", caption2).width;
  text("1.2 GB / 3.4 GB", caption2, Color::secondary, width - 16 - bw, 76);
  // A done mark and a pause mark, as other presentations show them.
  content.emplace_back(BeginOpacity{0.8});
  content.emplace_back(DrawSymbol{
      "checkmark.circle.fill", {width - 40, 92, 11, 11}, FontWeight::semibold, Color::green});
  content.emplace_back(
      DrawSymbol{"pause.fill", {width - 26, 92, 11, 11}, FontWeight::regular, Color::orange});
  content.emplace_back(EndOpacity{});
  return chrome.compose({content});
}

}  // namespace SwiftUI::Drawing::bench
