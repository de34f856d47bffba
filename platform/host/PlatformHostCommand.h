#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Result.h"
#include "platform/host/Host.h"
#include "platform/widgetkit/ActivityPresentations.h"
#include "platform/widgetkit/HostedActivity.h"

namespace CLI {
class App;
}

// What the platform host's subcommands share. Each subcommand lives in its
// own file and has one installer, listed here and called by PlatformHost.cpp.
namespace Host {

// sysexits codes.
enum ExitCode : int {
  exitOK = 0,
  exitUsage = 64,
  exitDataError = 65,
  exitNoInput = 66,
  exitSoftware = 70,
  exitIOError = 74,
};

// Why a subcommand stops: its sysexits code and the one line that says why
// (written after "error: ").
struct CommandFailure {
  int exitCode = exitSoftware;
  std::string message;
};

template <class T>
using CommandResult = Foundation::Result<T, CommandFailure>;

// What a command body ends with: the exit status of a command that ran to
// its end (exitOK, or a status that answers the question it was asked, as
// gallery --check's exitPicturesDiffer does), or the failure that stopped it.
using CommandOutcome = CommandResult<int>;
using CommandBody = std::function<CommandOutcome()>;

// What a running subcommand may use.
struct HostContext {
  const HostedActivity& activity;
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  // The chosen subcommand's body: set while the command line is parsed
  // (setCommandBody), run after it by PlatformHost::run.
  CommandBody chosen = {};
};

// Makes `body` what `command` does when the command line names it. The body
// writes its results on context.out and returns its outcome; it reports no
// failure itself.
void setCommandBody(CLI::App* command, HostContext& context, CommandBody body);

// The one place where a command's outcome becomes its exit status: a failure
// is written as one line, "error: <message>" (printable), on `err`, and its
// code returned.
int reportOutcome(const CommandOutcome& outcome, std::ostream& err);

// The whole of a file, or of the context's input for "" or "-"; a failure
// with exit 66 when it cannot be read.
CommandResult<std::string> readInput(const HostContext& context, const std::string& path);

// Reads a state payload as readInput does, and also refuses one over
// ActivityKit::ActivityCenter::maximumPayloadSize (exit 65).
CommandResult<std::string> readPayload(const HostContext& context, const std::string& path);

// Text as a report line shows it: backslashes and control characters
// escaped (\\, \n, \r, \t, \xHH), so that no name or text can break the
// line or pass for another.
std::string printable(std::string_view text);

// The one line that reports an undecodable payload (after "error: "):
// "<kind> at <coding path>: <description>".
std::string decodingErrorMessage(const Foundation::DecodingError& error);

// What describe and render read: a content state (a file, or standard input
// for "-") and the moment it is shown at (--now, else the system clock's).
struct StateInput {
  std::string path = "-";
  std::optional<double> now;

  // Adds the FILE argument and --now.
  void addOptions(CLI::App* command);
};

// A content state presented at its moment.
struct PresentedState {
  ActivityPresentations presentations;
  Foundation::Date now;
};

// Reads the input's state as readPayload does and presents it
// (HostedActivity::presentContentState): exit 65 for an undecodable or
// oversized payload, 66 for an unreadable one.
CommandResult<PresentedState> presentState(const HostContext& context, const StateInput& input);

// Adds the subcommand to app, with its body (setCommandBody).
void installValidateCommand(CLI::App& app, HostContext& context);
// Only for an activity with a configuration (presentContentState set).
void installDescribeCommand(CLI::App& app, HostContext& context);
// Only for an activity with a configuration: render draws one presentation,
// gallery (only with preview states too) every presentation of the
// activity's preview states.
void installRenderCommand(CLI::App& app, HostContext& context);
void installGalleryCommand(CLI::App& app, HostContext& context);
// Only for an activity with a configuration: audit reports what reads badly
// in the presentations of given states or the preview states.
void installAuditCommand(CLI::App& app, HostContext& context);

// Further subcommands that a program adds to its host beyond the extension's
// own, installed after them in the order added. The download app adds
// simulate and serve this way (play/PlayCommands.h), so that the extension
// program itself carries no web server. Adding an installer twice adds it
// once. Not thread-safe: add before run().
using CommandInstaller = void (*)(CLI::App& app, HostContext& context);
void addCommandInstaller(CommandInstaller installer);

}  // namespace Host
