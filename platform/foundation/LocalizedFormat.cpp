#include "platform/foundation/LocalizedFormat.h"

#include <charconv>
#include <cstddef>

namespace Foundation {
namespace {

void appendArgument(std::string& out, const FormatArgument& argument) {
  if (const auto* integer = std::get_if<std::int64_t>(&argument)) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, *integer);
    out.append(buffer, result.ptr);
  } else {
    out.append(std::get<std::string>(argument));
  }
}

}  // namespace

std::string renderFormat(std::string_view format, std::span<const FormatArgument> arguments) {
  std::string out;
  out.reserve(format.size());
  std::size_t nextArgument = 0;
  std::size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    if (c != '%') {
      out.push_back(c);
      ++i;
      continue;
    }
    std::string_view rest = format.substr(i + 1);
    if (rest.starts_with('%')) {
      out.push_back('%');
      i += 2;
      continue;
    }
    // Optional position: digits followed by '$'.
    std::size_t position = 0;
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
    std::size_t specStart = 0;
    if (digits > 0 && digits < rest.size() && rest[digits] == '$') {
      std::from_chars(rest.data(), rest.data() + digits, position);
      specStart = digits + 1;
    }
    std::string_view spec = rest.substr(specStart);
    std::size_t specLength = 0;
    if (spec.starts_with("lld")) {
      specLength = 3;
    } else if (spec.starts_with('@')) {
      specLength = 1;
    }
    std::size_t index = position > 0 ? position - 1 : nextArgument;
    if (specLength == 0 || (specStart > 0 && position == 0) || index >= arguments.size()) {
      // Not a placeholder we render, or no argument for it: copy as written.
      std::size_t length = 1 + specStart + specLength;
      out.append(format.substr(i, length));
      i += length;
      continue;
    }
    appendArgument(out, arguments[index]);
    if (position == 0) ++nextArgument;
    i += 1 + specStart + specLength;
  }
  return out;
}

std::string_view localizedFormat(std::string_view key) {
  return key;
}

}  // namespace Foundation
