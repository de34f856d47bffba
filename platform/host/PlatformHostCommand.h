#pragma once

#include <iosfwd>
#include <string>

#include "platform/foundation/Result.h"
#include "platform/host/Host.h"
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

// What a running subcommand may use, and where it leaves its exit code.
struct HostContext {
  const HostedActivity& activity;
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  int exitCode = exitOK;

  // Writes "error: <message>" as one line on the error stream and returns
  // code (for `return context.fail(...)`).
  int fail(int code, const std::string& message);
  int fail(const CommandFailure& failure) { return fail(failure.exitCode, failure.message); }
};

// The whole of a file, or of the context's input for "" or "-"; a failure
// with exit 66 when it cannot be read. Reports nothing: the caller does
// (context.fail(failure)).
CommandResult<std::string> readInput(const HostContext& context, const std::string& path);

// Reads a state payload as readInput does, and also refuses one over
// PlatformHost::maximumPayloadSize (exit 65).
CommandResult<std::string> readPayload(const HostContext& context, const std::string& path);

// The one line that reports an undecodable payload (after "error: "):
// "<kind> at <coding path>: <description>".
std::string decodingErrorMessage(const Foundation::DecodingError& error);

// Adds the subcommand to app; its callback sets context.exitCode.
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
