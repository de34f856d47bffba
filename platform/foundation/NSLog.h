#pragma once

// Logging to the standard error stream, one line a call:
//
//   2026-12-06 16:23:11.042 picker-app[4242:4242] [Docmend] could not copy May.pdf: ...
//
// local date and time with milliseconds, the program's short name, the process
// and thread ids, then the message and a newline. Each line is written with a
// single write(2) on file descriptor 2 at the time of the call, so lines from
// several threads never interleave and a test can catch them by pointing
// descriptor 2 elsewhere.
//
// The format's conversions are filled in order with the arguments' text:
// "%@" and the printf conversions (%d, %s, %lld, ...) all take the next
// argument; "%%" is a "%". Text, numbers, and the Foundation objects (an
// NSURL writes its absoluteString, an NSError its localizedDescription, an
// NSString its text) can be arguments. A missing argument writes "(null)".

#include <concepts>
#include <span>
#include <string>
#include <string_view>

#include "platform/foundation/NSObjCBridge.h"

// The text an argument contributes to a log line.
FOUNDATION_EXPORT std::string NSLogDescription(id object);
inline std::string NSLogDescription(std::string_view text) {
  return std::string(text);
}
inline std::string NSLogDescription(const char* text) {
  return text != nullptr ? text : "(null)";
}
inline std::string NSLogDescription(const std::string& text) {
  return text;
}
template <std::integral T>
std::string NSLogDescription(T value) {
  return std::to_string(value);
}
template <typename T>
requires std::derived_from<T, objc_object> std::string NSLogDescription(T* object) {
  return NSLogDescription(static_cast<id>(object));
}

// Writes one line built from `format` and the argument texts.
FOUNDATION_EXPORT void NSLogv(std::string_view format, std::span<const std::string> arguments);

template <typename... Args>
void NSLog(std::string_view format, const Args&... args) {
  const std::string texts[] = {std::string(), NSLogDescription(args)...};
  NSLogv(format, std::span<const std::string>(texts).subspan(1));
}
