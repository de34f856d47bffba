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

// A path as a URL reference: every byte but the unreserved ones and '/'
// percent-encoded ("ref#1/a b.png" is "ref%231/a%20b.png").
inline std::string escapeURLPath(std::string_view path) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string url;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                            c == '~' || c == '/';
    if (unreserved) {
      url += c;
    } else {
      url += {'%', hex[byte >> 4], hex[byte & 15]};
    }
  }
  return url;
}

}  // namespace Host::detail
