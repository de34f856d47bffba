#pragma once

#include <string>
#include <string_view>

// Text placed in the host's HTML pages (the gallery, the picture check).
namespace Host::detail {

// `text` with &, <, > and " written as entities, safe inside an element or a
// double-quoted attribute.
inline std::string escapeHTML(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace Host::detail
