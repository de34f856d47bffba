#include "platform/host/play/PreviewResponse.h"

#include <cstdio>

#include "platform/foundation/JSONWriter.h"
#include "platform/foundation/UnicodeText.h"

namespace Host {

namespace {

// The text as it is when it is UTF-8; else with every byte above ASCII
// written as \xNN, so that what a client sent stays readable and the
// answer stays JSON.
std::string readable(const std::string& text) {
  if (Foundation::isValidUTF8(text)) return text;
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    }
  }
  return out;
}

}  // namespace

PreviewResponse PreviewResponse::refusal(int status, const std::string& message) {
  Foundation::JSONWriter writer({false, false});
  writer.beginObject();
  writer.key("error");
  writer.string(readable(message));
  writer.endObject();
  return {status, "application/json", writer.take() + "\n"};
}

}  // namespace Host
