#include <CLI/CLI.hpp>

#include <cmath>
#include <memory>
#include <optional>

#include "platform/foundation/Clock.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/widgetkit/ActivityPresentations.h"

// describe [FILE|-] [--now SECONDS] [--pretty]: decodes a content state and
// prints every presentation of it as one JSON document (see
// ActivityPresentations.h). "Now" is the system clock's unless --now pins
// it; it starts the lock screen's count-down and is the moment its text is
// read at. Errors as for validate: one line and exit 65 for an undecodable
// or oversized payload, 66 for an unreadable file, 64 for usage.
//
// The trees name colours and text styles; what they resolve to (an
// appearance's colour, a text size's points) is decided when a picture is
// drawn, so describe takes no --appearance, --text-size or --screen: its
// output would be the same for each.
namespace Host {

void installDescribeCommand(CLI::App& app, HostContext& context) {
  struct Options {
    std::string path = "-";
    std::optional<double> now;
    bool pretty = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(
      "describe", "Print every presentation of a content state as JSON view trees");
  command->add_option("file", options->path, "The JSON file; standard input when - or left out");
  command
      ->add_option("--now", options->now,
                   "The current date, in seconds since 2001-01-01 00:00:00 UTC")
      ->check(CLI::Validator(
          [](std::string& value) {
            try {
              std::size_t used = 0;
              double seconds = std::stod(value, &used);
              if (used == value.size() && std::isfinite(seconds)) return std::string();
            } catch (const std::exception&) {
            }
            return "--now needs a finite number of seconds, not " + value;
          },
          "SECONDS", "finite seconds"));
  command->add_flag("--pretty", options->pretty, "Indent the JSON over several lines");
  command->footer(
      "The trees name colours and text styles; they resolve to an appearance's colours and a "
      "text size's points only when drawn, so the variant options are render's and gallery's.");
  command->callback([options, &context] {
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
    context.out << describe(*presentations, now, options->pretty) << '\n';
    context.exitCode = exitOK;
  });
}

}  // namespace Host
