#include <CLI/CLI.hpp>

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "platform/foundation/Clock.h"
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
    std::string path = "-";
    std::string presentation = "lock-screen";
    std::string format = "png";
    double scale = 3;
    std::optional<double> now;
    std::string output;
    detail::VariantOptions variant;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      app.add_subcommand("render", "Draw a presentation of a content state as PNG or SVG");
  command->add_option("file", options->path, "The JSON file; standard input when - or left out");
  command
      ->add_option("--presentation", options->presentation,
                   "lock-screen (the default), expanded, compact, minimal, or all (then -o names a "
                   "directory)")
      ->check(CLI::IsMember({"lock-screen", "expanded", "compact", "minimal", "all"}));
  command->add_option("--format", options->format, "png (the default) or svg")
      ->check(CLI::IsMember({"png", "svg"}));
  command->add_option("--scale", options->scale, "Pixels a point, 0.1 to 10 (default 3)")
      ->check(detail::pictureScaleValidator());
  detail::addVariantOptions(command, options->variant);
  command
      ->add_option("--now", options->now,
                   "The current date, in seconds since 2001-01-01 00:00:00 UTC")
      ->check(detail::secondsValidator());
  command->add_option("-o,--output", options->output, "The picture file, - for standard output")
      ->required();

  command->callback([options, &context] {
    const bool all = options->presentation == "all";
    if (all && options->output == "-") {
      context.fail(exitUsage, "--presentation all writes a directory; give one with -o");
      return;
    }
    auto payload = readPayload(context, options->path);
    if (!payload) {
      context.fail(payload.error());
      return;
    }
    const Foundation::Date now =
        options->now ? Foundation::Date(*options->now) : Foundation::currentDate();
    auto presentations = context.activity.presentContentState(*payload, now);
    if (!presentations) {
      context.fail(exitDataError, decodingErrorMessage(presentations.error()));
      return;
    }
    const PictureFormat format = options->format == "svg" ? PictureFormat::svg : PictureFormat::png;
    SwiftUI::Drawing::PangoTextMeasurer measurer;
    PresentationRenderer renderer(measurer, options->variant.variant());

    if (!all) {
      const Picture picture =
          renderer.picture(*presentations, *presentationKind(options->presentation), now);
      if (options->output == "-") {
        std::string bytes;
        if (auto encoded = encodePicture(picture, format, options->scale, bytes); !encoded) {
          detail::failOutput(context, encoded.error());
          return;
        }
        context.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      } else if (auto written = writePicture(picture, format, options->scale, options->output);
                 !written) {
        detail::failOutput(context, written.error());
        return;
      }
      context.exitCode = exitOK;
      return;
    }

    const std::filesystem::path directory(options->output);
    std::error_code error;
    std::filesystem::create_directory(directory, error);
    if (error || !std::filesystem::is_directory(directory)) {
      context.fail(exitIOError, "cannot create the directory " + options->output + ": " +
                                    (error ? error.message() : "File exists"));
      return;
    }
    for (PresentationKind kind : allPresentationKinds) {
      const std::string file =
          (directory / (std::string(nameOf(kind)) + "." + std::string(nameOf(format)))).string();
      if (auto written = writePicture(renderer.picture(*presentations, kind, now), format,
                                      options->scale, file);
          !written) {
        detail::failOutput(context, written.error());
        return;
      }
    }
    context.exitCode = exitOK;
  });
}

}  // namespace Host
