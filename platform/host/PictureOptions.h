#pragma once

#include <CLI/CLI.hpp>

#include <array>
#include <string>

#include "platform/host/CommandOptions.h"
#include "platform/host/Host.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/ui/drawing/FontDescriptor.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/ResolvedColor.h"
#include "platform/widgetkit/PresentationRenderer.h"

// Command-line pieces that the picture commands (render, gallery, simulate's
// frames) share.
namespace Host::detail {

// The --scale range. At the largest, a 3× lock-screen picture of 1197 × 564
// pixels becomes a 10× one of about 15 MB of pixels, which is as far as a
// picture of a phone's presentation needs to go; at the smallest, the
// minimal island is still 7 pixels square. A scale below it cannot make a
// picture worth the name (1e-300 makes none at all), so it is a usage error
// like any other out of range.
inline constexpr NumberRange pictureScaleRange{0.1, 10};

// --scale N, pixels a point.
inline CLI::Option* addScaleOption(CLI::App* command, double& scale) {
  return addNumberOption(command, "--scale", scale, pictureScaleRange, "Pixels a point");
}

// --format png|svg.
inline CLI::Option* addFormatOption(CLI::App* command, PictureFormat& format,
                                    const std::string& description) {
  constexpr std::array formats{PictureFormat::png, PictureFormat::svg};
  return addChoiceOption(
      command, "--format", format,
      namedChoices<PictureFormat>(formats, [](PictureFormat f) { return nameOf(f); }), description,
      "FORMAT");
}

// --appearance dark|light, --text-size xSmall…accessibility5 and
// --screen 393x852|430x932: the variant a picture command draws in.
struct VariantOptions {
  PictureVariant variant;
  CLI::Option* options[3] = {};

  // Whether any of the three was given on the command line.
  bool given() const {
    for (const CLI::Option* option : options) {
      if (option && option->count() > 0) return true;
    }
    return false;
  }
};

inline void addVariantOptions(CLI::App* command, VariantOptions& options) {
  namespace D = SwiftUI::Drawing;
  PictureVariant& variant = options.variant;
  options.options[0] = addChoiceOption(
      command, "--appearance", variant.appearance,
      namedChoices<D::Appearance>(D::allAppearances, D::appearanceName),
      "The appearance; the lock screen follows it, the island is always dark", "APPEARANCE");
  options.options[1] = addChoiceOption(
      command, "--text-size", variant.textSize,
      namedChoices<D::DynamicTypeSize>(D::allDynamicTypeSizes, D::dynamicTypeSizeName),
      "The text-size setting", "SIZE");
  options.options[2] = addChoiceOption(
      command, "--screen", variant.screen,
      namedChoices<ScreenSize>(allScreenSizes, [](ScreenSize s) { return nameOf(s); }),
      "The screen in points", "WxH");
}

// A failed picture output: exit 74 when the file could not be written, 70
// when drawing or encoding failed.
inline CommandFailure outputFailure(const SwiftUI::Drawing::OutputError& error) {
  using Kind = SwiftUI::Drawing::OutputError::Kind;
  return {error.kind == Kind::io ? exitIOError : exitSoftware, error.message};
}

}  // namespace Host::detail
