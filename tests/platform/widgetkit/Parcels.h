#pragma once

// A small activity of the tests' own, so that the widget layer and its host
// are checked without any of the extension's code, and a way to run the
// host's commands.

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/widgetkit/PlatformHost.h"

namespace parcels {

struct ParcelAttributes {
  struct ContentState {
    std::int64_t parcels = 0;
    std::vector<std::string> labels;
    std::optional<double> eta;
    static ContentState decode(Foundation::Decoder& decoder) {
      auto c = decoder.container();
      return {c.decode<std::int64_t>("parcels"),
              c.decodeIfPresent<std::vector<std::string>>("labels").value_or(
                  std::vector<std::string>{}),
              c.decodeIfPresent<double>("eta")};
    }
    void encode(Foundation::Encoder& encoder) const {
      auto c = encoder.container();
      c.encode("parcels", parcels);
      c.encode("labels", labels);
      c.encodeIfPresent("eta", eta);
    }
  };
  Foundation::Date sentAt;
  static ParcelAttributes decode(Foundation::Decoder& decoder) {
    return {decoder.container().decode<Foundation::Date>("sentAt")};
  }
  void encode(Foundation::Encoder& encoder) const { encoder.container().encode("sentAt", sentAt); }
};

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

// Runs `host` as the program "extension" with `arguments` and `input` on
// standard input.
inline Outcome run(const WidgetKit::PlatformHost& host, std::vector<std::string> arguments,
                   const std::string& input = "") {
  arguments.insert(arguments.begin(), "extension");
  std::istringstream in(input);
  std::ostringstream out, err;
  const int code = host.run(arguments, in, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace parcels
