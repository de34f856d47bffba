#pragma once

// Runs the platform host's commands in-process, as a program would.

#include <sstream>
#include <string>
#include <vector>

#include "platform/host/PlatformHost.h"

namespace parcels {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

// Runs `host` as the program "extension" with `arguments` and `input` on
// standard input.
inline Outcome run(const Host::PlatformHost& host, std::vector<std::string> arguments,
                   const std::string& input = "") {
  arguments.insert(arguments.begin(), "extension");
  std::istringstream in(input);
  std::ostringstream out, err;
  const int code = host.run(arguments, in, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace parcels
