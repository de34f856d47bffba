#include <CLI/CLI.hpp>

#include <memory>
#include <variant>

#include "platform/foundation/CodingError.h"
#include "platform/host/PlatformHostCommand.h"

// validate [FILE|-] [--attributes] [--encode]: decodes a content state (or
// the attributes) and prints "ok", or the value written again; an
// undecodable payload is one line, "error: <kind> at <path>: <description>",
// and exit 65.
namespace Host {

void installValidateCommand(CLI::App& app, HostContext& context) {
  struct Options {
    std::string path = "-";
    bool attributes = false;
    bool encode = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      app.add_subcommand("validate", "Decode a content state (or the attributes) from JSON");
  command->add_option("file", options->path, "The JSON file; standard input when - or left out");
  command->add_flag("--attributes", options->attributes,
                    "Decode the activity's attributes instead");
  command->add_flag("--encode", options->encode,
                    "Print the decoded value encoded again instead of \"ok\"");
  setCommandBody(command, context, [options, &context]() -> CommandOutcome {
    auto payload = readPayload(context, options->path);
    if (!payload) return std::move(payload).error();
    const auto& check =
        options->attributes ? context.activity.checkAttributes : context.activity.checkContentState;
    auto checked = check(*payload, options->encode);
    if (!checked) {
      if (const auto* error = std::get_if<Foundation::DecodingError>(&checked.error())) {
        return CommandFailure{exitDataError, decodingErrorMessage(*error)};
      }
      // A decoded value always has finite numbers; failing to write it back
      // is a bug of the coder.
      const auto& error = std::get<Foundation::EncodingError>(checked.error());
      return CommandFailure{exitSoftware, std::string(error.kindName()) + " at " +
                                              Foundation::describeCodingPath(error.codingPath) +
                                              ": " + error.debugDescription};
    }
    context.out << (options->encode ? *checked : std::string("ok")) << '\n';
    return exitOK;
  });
}

}  // namespace Host
