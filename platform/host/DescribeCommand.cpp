#include <CLI/CLI.hpp>

#include <memory>

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
    StateInput input;
    bool pretty = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(
      "describe", "Print every presentation of a content state as JSON view trees");
  options->input.addOptions(command);
  command->add_flag("--pretty", options->pretty, "Indent the JSON over several lines");
  command->footer(
      "The trees name colours and text styles; they resolve to an appearance's colours and a "
      "text size's points only when drawn, so the variant options are render's and gallery's.");
  setCommandBody(command, context, [options, &context]() -> CommandOutcome {
    auto state = presentState(context, options->input);
    if (!state) return std::move(state).error();
    context.out << describe(state->presentations, state->now, options->pretty) << '\n';
    return exitOK;
  });
}

}  // namespace Host
