#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "platform/host/PictureOptions.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "platform/widgetkit/PresentationRenderer.h"

// render [FILE|-] --presentation NAME --format png|svg [--scale N]
//        [--appearance dark|light] [--text-size SIZE] [--screen WxH]
//        [--now SECONDS] -o PATH
//
// Draws one presentation of a content state, in its chrome, as the platform
// shows it (see PresentationRenderer.h): PNG (the default) or SVG, at 3
// pixels a point unless --scale (0.1 to 10) says otherwise. -o - writes the
// picture to standard output; -o follows symbolic links and writes straight
// into a FIFO or a device; a regular file is replaced whole. With
// --presentation all, PATH is a directory (created if missing) that receives
// lock-screen, expanded, compact and minimal, each with the format's
// extension. "Now" is the system clock's unless --now pins it; the
// count-down is read at it. --appearance, --text-size and --screen set up
// the phone it is shown on (dark, large and 393x852 unless told; the
// island is dark whatever the appearance).
//
// Errors: 64 usage (an unknown name, format, appearance, text size or
// screen, a --scale out of range, all
// with -o -), 65 an undecodable or oversized payload, 66 an unreadable
// input, 74 a picture or directory that could not be written (no partial
// file is left at a regular file's place), 70 a drawing or encoding failure.
namespace Host {

void installRenderCommand(CLI::App& app, HostContext& context) {
  struct Options {
    StateInput input;
    std::optional<PresentationKind> presentation = PresentationKind::lockScreen;  // none: all
    PictureFormat format = PictureFormat::png;
    double scale = 3;
    std::string output;
    detail::VariantOptions variant;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      app.add_subcommand("render", "Draw a presentation of a content state as PNG or SVG");
  options->input.addOptions(command);
  auto kinds = namedChoices<std::optional<PresentationKind>>(
      allPresentationKinds, [](PresentationKind kind) { return nameOf(kind); });
  kinds.push_back({"all", std::nullopt});
  addChoiceOption(command, "--presentation", options->presentation, std::move(kinds),
                  "The presentation, or all (then -o names a directory)", "NAME");
  detail::addFormatOption(command, options->format, "The picture's format");
  detail::addScaleOption(command, options->scale);
  detail::addVariantOptions(command, options->variant);
  command->add_option("-o,--output", options->output, "The picture file, - for standard output")
      ->required();

  setCommandBody(command, context, [options, &context]() -> CommandOutcome {
    const bool all = !options->presentation;
    if (all && options->output == "-") {
      return CommandFailure{exitUsage, "--presentation all writes a directory; give one with -o"};
    }
    auto state = presentState(context, options->input);
    if (!state) return std::move(state).error();
    const auto& [presentations, now] = *state;
    const PictureFormat format = options->format;
    SwiftUI::Drawing::PangoTextMeasurer measurer;
    PresentationRenderer renderer(measurer, options->variant.variant);

    if (!all) {
      const Picture picture = renderer.picture(presentations, *options->presentation, now);
      if (options->output == "-") {
        std::string bytes;
        if (auto encoded = encodePicture(picture, format, options->scale, bytes); !encoded) {
          return detail::outputFailure(encoded.error());
        }
        context.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      } else if (auto written = writePicture(picture, format, options->scale, options->output);
                 !written) {
        return detail::outputFailure(written.error());
      }
      return exitOK;
    }

    const std::filesystem::path directory(options->output);
    std::error_code error;
    std::filesystem::create_directory(directory, error);
    if (error || !std::filesystem::is_directory(directory)) {
      return CommandFailure{exitIOError, "cannot create the directory " + options->output + ": " +
                                             (error ? error.message() : "File exists")};
    }
    for (PresentationKind kind : allPresentationKinds) {
      const std::string file =
          (directory / (std::string(nameOf(kind)) + "." + std::string(nameOf(format)))).string();
      if (auto written = writePicture(renderer.picture(presentations, kind, now), format,
                                      options->scale, file);
          !written) {
        return detail::outputFailure(written.error());
      }
    }
    return exitOK;
  });
}

}  // namespace Host
