#pragma once

#include <CLI/CLI.hpp>

#include <cmath>
#include <string>

#include "platform/host/Host.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/ui/drawing/FontDescriptor.h"
#include "platform/ui/drawing/Output.h"
#include "platform/ui/drawing/ResolvedColor.h"
#include "platform/widgetkit/PresentationRenderer.h"

// Command-line pieces that the picture commands (render, gallery) share.
namespace Host::detail {

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

// --now SECONDS: a finite number of seconds since 2001-01-01 00:00:00 UTC.
inline CLI::Validator secondsValidator() {
  return CLI::Validator(
      [](std::string& value) {
        try {
          std::size_t used = 0;
          const double seconds = std::stod(value, &used);
          if (used == value.size() && std::isfinite(seconds)) return std::string();
        } catch (const std::exception&) {
        }
        return "needs a finite number of seconds, not " + value;
      },
      "SECONDS", "finite seconds");
}

// --appearance dark|light, --text-size xSmall…accessibility5 and
// --screen 393x852|430x932: the variant a picture command draws in.
struct VariantOptions {
  std::string appearance = "dark";
  std::string textSize = "large";
  std::string screen = "393x852";
  CLI::Option* options[3] = {};

  // Whether any of the three was given on the command line.
  bool given() const {
    for (const CLI::Option* option : options) {
      if (option && option->count() > 0) return true;
    }
    return false;
  }
  // The values, checked when parsed.
  PictureVariant variant() const {
    return {*SwiftUI::Drawing::appearanceNamed(appearance),
            *SwiftUI::Drawing::dynamicTypeSizeNamed(textSize), *screenSizeNamed(screen)};
  }
};

// A validator that accepts what `parse` names; else "needs one of <names>,
// not <value>".
template <typename Parse>
CLI::Validator namedValueValidator(Parse parse, std::string names, std::string description) {
  return CLI::Validator(
      [parse, names](std::string& value) {
        return parse(value) ? std::string() : "needs one of " + names + ", not " + value;
      },
      description, description);
}

inline void addVariantOptions(CLI::App* command, VariantOptions& variant) {
  std::string sizes;
  for (SwiftUI::Drawing::DynamicTypeSize size : SwiftUI::Drawing::allDynamicTypeSizes) {
    sizes += (sizes.empty() ? "" : ", ") + std::string(SwiftUI::Drawing::dynamicTypeSizeName(size));
  }
  variant.options[0] =
      command
          ->add_option("--appearance", variant.appearance,
                       "dark (the default) or light; the lock screen follows it, the island is "
                       "always dark")
          ->check(namedValueValidator(
              [](const std::string& v) { return SwiftUI::Drawing::appearanceNamed(v); },
              "dark, light", "APPEARANCE"));
  variant.options[1] =
      command
          ->add_option("--text-size", variant.textSize,
                       "The text-size setting: " + sizes + " (default large)")
          ->check(namedValueValidator(
              [](const std::string& v) { return SwiftUI::Drawing::dynamicTypeSizeNamed(v); }, sizes,
              "SIZE"));
  variant.options[2] =
      command
          ->add_option("--screen", variant.screen,
                       "The screen in points: 393x852 (the default) or 430x932")
          ->check(namedValueValidator([](const std::string& v) { return screenSizeNamed(v); },
                                      "393x852, 430x932", "WxH"));
}

// Reports a failed picture output: exit 74 when the file could not be
// written, 70 when drawing or encoding failed.
inline int failOutput(HostContext& context, const SwiftUI::Drawing::OutputError& error) {
  using Kind = SwiftUI::Drawing::OutputError::Kind;
  return context.fail(error.kind == Kind::io ? exitIOError : exitSoftware, error.message);
}

}  // namespace Host::detail
