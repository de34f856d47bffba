#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/widgetkit/HostedActivity.h"

namespace WidgetKit {

// The platform's side of a widget extension, played on the command line: on
// the real platform the system starts the extension and asks it for
// presentations; here a person or a script does, through subcommands.
//
// Error policy: every failure ends in one line on the error stream,
// "error: ...", and a sysexits code: 0 success, 64 usage, 65 bad data
// (undecodable or oversized payload), 66 no input (missing or unreadable
// file), 70 internal, 74 I/O (output could not be written). Nothing is
// printed on standard output unless the command succeeds.
class PlatformHost {
 public:
  // The largest state payload the platform accepts for an activity, in bytes.
  // The coder sets no bound; the host refuses a larger payload before
  // decoding it.
  static constexpr std::size_t maximumPayloadSize = 4096;

  explicit PlatformHost(HostedActivity activity) : activity_(std::move(activity)) {}

  // Runs the command line of a process: argv[0] is the program's name.
  int run(int argc, const char* const* argv) const;

  // Runs a command line (arguments[0] is the program's name) with the given
  // streams in place of the process's standard ones.
  int run(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
          std::ostream& err) const;

 private:
  HostedActivity activity_;
};

}  // namespace WidgetKit
