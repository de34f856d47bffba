#include "platform/host/PlatformHost.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "platform/activitykit/ActivityCenter.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/CodingError.h"
#include "platform/host/CommandOptions.h"
#include "platform/host/PlatformHostCommand.h"

namespace Host {

void setCommandBody(CLI::App* command, HostContext& context, CommandBody body) {
  command->callback([&context, body = std::move(body)] { context.chosen = body; });
}

int reportOutcome(const CommandOutcome& outcome, std::ostream& err) {
  if (outcome) return *outcome;
  // Messages quote what they were given (paths, arguments): escaped, they
  // stay one line whatever those hold.
  err << "error: " << printable(outcome.error().message) << '\n';
  return outcome.error().exitCode;
}

CommandResult<std::string> readInput(const HostContext& context, const std::string& path) {
  if (path.empty() || path == "-") {
    std::string input(std::istreambuf_iterator<char>(context.in), std::istreambuf_iterator<char>{});
    if (context.in.bad()) return CommandFailure{exitNoInput, "cannot read standard input"};
    return input;
  }
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return CommandFailure{exitNoInput, "cannot read " + path + ": Is a directory"};
  }
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return CommandFailure{exitNoInput, "cannot read " + path + ": " + std::strerror(errno)};
  std::ostringstream contents;
  contents << file.rdbuf();
  if (file.bad()) return CommandFailure{exitNoInput, "cannot read " + path};
  return std::move(contents).str();
}

CommandResult<std::string> readPayload(const HostContext& context, const std::string& path) {
  CommandResult<std::string> payload = readInput(context, path);
  if (payload && payload->size() > ActivityKit::ActivityCenter::maximumPayloadSize) {
    return CommandFailure{
        exitDataError,
        "payload of " + std::to_string(payload->size()) + " bytes exceeds the limit of " +
            std::to_string(ActivityKit::ActivityCenter::maximumPayloadSize) + " bytes"};
  }
  return payload;
}

std::string printable(std::string_view name) {
  std::string text;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      text += "\\\\";
    } else if (c == '\n') {
      text += "\\n";
    } else if (c == '\r') {
      text += "\\r";
    } else if (c == '\t') {
      text += "\\t";
    } else if (byte < 0x20 || byte == 0x7f) {
      static constexpr char hex[] = "0123456789abcdef";
      text += {'\\', 'x', hex[byte >> 4], hex[byte & 15]};
    } else {
      text += c;
    }
  }
  return text;
}

std::string decodingErrorMessage(const Foundation::DecodingError& error) {
  return std::string(error.kindName()) + " at " + Foundation::describeCodingPath(error.codingPath) +
         ": " + error.debugDescription;
}

void StateInput::addOptions(CLI::App* command) {
  command->add_option("file", path, "The JSON file; standard input when - or left out");
  addNumberOption(command, "--now", now, NumberRange{},
                  "The current date in seconds since 2001-01-01 00:00:00 UTC", "SECONDS",
                  "the system clock's");
}

CommandResult<PresentedState> presentState(const HostContext& context, const StateInput& input) {
  auto payload = readPayload(context, input.path);
  if (!payload) return std::move(payload).error();
  const Foundation::Date now = input.now ? Foundation::Date(*input.now) : Foundation::currentDate();
  auto presentations = context.activity.presentContentState(*payload, now);
  if (!presentations) {
    return CommandFailure{exitDataError, decodingErrorMessage(presentations.error())};
  }
  return PresentedState{std::move(*presentations), now};
}

namespace {
std::vector<CommandInstaller>& addedInstallers() {
  static std::vector<CommandInstaller> installers;
  return installers;
}

// Parses the command line and runs the chosen command's body.
CommandOutcome runCommandLine(const std::vector<std::string>& arguments, HostContext& context) {
  const HostedActivity& activity = context.activity;
  CommandOutcome outcome = exitOK;
  try {
    CLI::App app("The platform host of a widget extension serving " + activity.attributesName +
                     " activities.",
                 arguments.empty() ? std::string("extension") : arguments.front());
    app.require_subcommand(1);
    app.fallthrough(false);
    installValidateCommand(app, context);
    if (activity.presentContentState) {
      installDescribeCommand(app, context);
      installRenderCommand(app, context);
      if (!activity.previews.states.empty()) installGalleryCommand(app, context);
      installAuditCommand(app, context);
      for (CommandInstaller install : addedInstallers()) install(app, context);
    }

    std::vector<const char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const auto& argument : arguments) argv.push_back(argument.c_str());
    if (argv.empty()) argv.push_back("extension");
    try {
      app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
      context.out << app.help();  // the selected subcommand's help, if one was named
      return exitOK;
    } catch (const CLI::CallForAllHelp&) {
      context.out << app.help("", CLI::AppFormatMode::All);
      return exitOK;
    } catch (const CLI::ParseError& error) {
      return CommandFailure{exitUsage, std::string(error.what()) + " (see --help)"};
    }
    outcome = context.chosen();
  } catch (const std::exception& error) {
    return CommandFailure{exitSoftware, std::string("internal: ") + error.what()};
  }
  context.out.flush();
  if (!context.out) return CommandFailure{exitIOError, "cannot write the output"};
  return outcome;
}

}  // namespace

void addCommandInstaller(CommandInstaller installer) {
  auto& installers = addedInstallers();
  if (std::find(installers.begin(), installers.end(), installer) == installers.end()) {
    installers.push_back(installer);
  }
}

void PlatformHost::exitProcess(int code) {
  std::cout.flush();
  std::cerr.flush();
  std::exit(code);
}

int PlatformHost::run(int argc, const char* const* argv) const {
  std::vector<std::string> arguments(argv, argv + argc);
  return run(arguments, std::cin, std::cout, std::cerr);
}

int PlatformHost::run(const std::vector<std::string>& arguments, std::istream& in,
                      std::ostream& out, std::ostream& err) const {
  HostContext context{activity_, in, out, err};
  return reportOutcome(runCommandLine(arguments, context), err);
}

}  // namespace Host
