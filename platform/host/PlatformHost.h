#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/host/Host.h"
#include "platform/widgetkit/HostedActivity.h"
#include "platform/widgetkit/WidgetBundle.h"

namespace Host {

// The platform's side of a widget extension, played on the command line: on
// the real platform the system starts the extension and asks it for
// presentations; here a person or a script does, through subcommands.
//
// Error policy: every failure ends in one line on the error stream,
// "error: ...", and a sysexits code: 0 success, 64 usage, 65 bad data
// (undecodable or oversized payload), 66 no input (missing or unreadable
// file), 70 internal, 74 I/O (output could not be written). Nothing is
// printed on standard output unless the command succeeds. Each command's
// body returns its outcome, and one reporter writes the line and gives the
// code (reportOutcome, PlatformHostCommand.h).
class PlatformHost {
 public:
  explicit PlatformHost(HostedActivity activity) : activity_(std::move(activity)) {}

  // The platform host of a widget bundle's one activity.
  template <WidgetBundleType Bundle>
  static PlatformHost forBundle() {
    return PlatformHost(WidgetBundle::hostedActivity<Bundle>());
  }

  // What an extension's main() calls: runs the platform host for the bundle
  // on the process's command line and ends the process with the command's
  // exit code; it does not return.
  template <WidgetBundleType Bundle>
  [[noreturn]] static void main(int argc, const char* const* argv) {
    exitProcess(forBundle<Bundle>().run(argc, argv));
  }

  // Runs the command line of a process: argv[0] is the program's name.
  int run(int argc, const char* const* argv) const;

  // Runs a command line (arguments[0] is the program's name) with the given
  // streams in place of the process's standard ones.
  int run(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
          std::ostream& err) const;

 private:
  // Flushes the standard streams and ends the process with `code`.
  [[noreturn]] static void exitProcess(int code);

  HostedActivity activity_;
};

}  // namespace Host
