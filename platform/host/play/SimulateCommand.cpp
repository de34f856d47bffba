#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <system_error>

#include "platform/activitykit/HostApp.h"
#include "platform/host/PictureOptions.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/host/play/HostAppSession.h"
#include "platform/host/play/PlayCommands.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "platform/widgetkit/PresentationRenderer.h"

// simulate [INPUT.json] [--speed FACTOR] [--frames DIR] [--format png|svg]
//          [--scale N]
//
// Launches the installed host app (with the JSON the file holds, or with
// none) and plays what it pushes through the activity, FACTOR times faster
// than real time (speedRange, PlayCommands.h, as for serve), printing one line per state the app
// pushes: the simulated time since the start, then what the lock screen shows after its title, in
// reading order (status line, percentage, speed or phase, time remaining,
// bytes).
// With --frames every presentation of every state is drawn into DIR as
// NNNN-<presentation>.<format>. Ends when the app ends its activity.
//
// Only for a program with a host app installed (ActivityKit::installHostApp).
// Errors: 64 usage, 65 an input the app refuses, 66 an unreadable input file,
// 74 frames that could not be written, 70 drawing failures.
namespace Host {

void installSimulateCommand(CLI::App& app, HostContext& context) {
  auto factory = ActivityKit::installedHostApp();
  if (!factory || !context.activity.presentContentState) return;
  struct Options {
    std::string queue;
    double speed = 1;
    std::string frames;
    PictureFormat format = PictureFormat::png;
    double scale = 2;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand("simulate", "Play the host app through the activity");
  command->add_option("queue", options->queue,
                      "The JSON the app is launched with (for the download app, its queue); the "
                      "app's default when left out");
  addSpeedOption(command, options->speed);
  command->add_option("--frames", options->frames,
                      "Draw every presentation of every update into this directory");
  detail::addFormatOption(command, options->format, "The frames' format");
  detail::addScaleOption(command, options->scale);

  setCommandBody(command, context, [options, factory, &context]() -> CommandOutcome {
    std::optional<std::string> queue;  // none: the app's default
    if (!options->queue.empty()) {
      auto input = readInput(context, options->queue);
      if (!input) return std::move(input).error();
      queue = std::move(*input);
    }
    if (!options->frames.empty()) {
      std::error_code error;
      std::filesystem::create_directories(options->frames, error);
      if (error || !std::filesystem::is_directory(options->frames)) {
        return CommandFailure{exitIOError, "cannot create the directory " + options->frames + ": " +
                                               (error ? error.message() : "File exists")};
      }
    }
    const PictureFormat format = options->format;
    std::unique_ptr<SwiftUI::Drawing::PangoTextMeasurer> measurer;
    std::unique_ptr<PresentationRenderer> renderer;
    if (!options->frames.empty()) {
      measurer = std::make_unique<SwiftUI::Drawing::PangoTextMeasurer>();
      renderer = std::make_unique<PresentationRenderer>(*measurer);
    }

    HostAppSession session(factory, options->speed);
    if (auto launched = session.app().launch(queue); !launched) {
      return CommandFailure{exitDataError, launched.error()};
    }
    int frame = 0;
    for (;;) {
      auto event = session.nextEvent(std::chrono::milliseconds(1000));
      if (!event) continue;  // the app is between updates (or paused: it ends when it ends)
      auto presentations =
          context.activity.presentContentState(event->activity.contentState, event->date);
      if (!presentations) {  // the platform accepted it, so it decodes
        return CommandFailure{exitSoftware, decodingErrorMessage(presentations.error())};
      }
      const auto texts = textsShown(presentations->lockScreen, event->date);
      char time[32];
      std::snprintf(time, sizeof time, "[%6.1fs]",
                    event->date.timeIntervalSince(session.clock().start()));
      if (event->kind == ActivityKit::ActivityEvent::Kind::requested) {
        context.out << time << " started: " << (texts.empty() ? std::string() : texts.front())
                    << '\n';
      }
      context.out << time;
      for (std::size_t i = 1; i < texts.size(); ++i)
        context.out << (i == 1 ? " " : " | ") << texts[i];
      context.out << '\n';
      context.out.flush();

      if (renderer) {
        ++frame;
        char number[16];
        std::snprintf(number, sizeof number, "%04d", frame);
        for (PresentationKind kind : allPresentationKinds) {
          const auto path = (std::filesystem::path(options->frames) /
                             (std::string(number) + "-" + std::string(nameOf(kind)) + "." +
                              std::string(nameOf(format))))
                                .string();
          if (auto written = writePicture(renderer->picture(*presentations, kind, event->date),
                                          format, options->scale, path);
              !written) {
            return detail::outputFailure(written.error());
          }
        }
      }
      if (event->kind == ActivityKit::ActivityEvent::Kind::ended) break;
    }
    return exitOK;
  });
}

}  // namespace Host
