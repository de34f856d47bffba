#pragma once

#include <CLI/CLI.hpp>

#include <cmath>
#include <string>

#include "platform/ui/drawing/Output.h"
#include "platform/widgetkit/PlatformHostCommand.h"

// Command-line pieces that the picture commands (render, gallery) share.
namespace WidgetKit::detail {

// The --scale range. At the largest, a 3× lock-screen picture of 1197 × 564
// pixels becomes a 10× one of about 15 MB of pixels, which is as far as a
// picture of a phone's presentation needs to go; at the smallest, the
// minimal island is still 7 pixels square. A scale below it cannot make a
// picture worth the name (1e-300 makes none at all), so it is a usage error
// like any other out of range.
inline constexpr double minimumPictureScale = 0.1;
inline constexpr double maximumPictureScale = 10;

// --scale N: a finite number from minimumPictureScale to
// maximumPictureScale.
inline CLI::Validator pictureScaleValidator() {
  return CLI::Validator(
      [](std::string& value) {
        try {
          std::size_t used = 0;
          const double scale = std::stod(value, &used);
          if (used == value.size() && std::isfinite(scale) && scale >= minimumPictureScale &&
              scale <= maximumPictureScale) {
            return std::string();
          }
        } catch (const std::exception&) {
        }
        return "needs a number from 0.1 to 10, not " + value;
      },
      "N", "scale");
}

// Reports a failed picture output: exit 74 when the file could not be
// written, 70 when drawing or encoding failed.
inline int failOutput(HostContext& context, const SwiftUI::Drawing::OutputError& error) {
  using Kind = SwiftUI::Drawing::OutputError::Kind;
  return context.fail(error.kind == Kind::io ? exitIOError : exitSoftware, error.message);
}

}  // namespace WidgetKit::detail
