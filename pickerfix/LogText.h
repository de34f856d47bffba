#pragma once

// How Docmend writes names and error texts into a log line, and how an app
// that prints picked paths one per line writes them too: the one spelling of
// the rule, for the library and for picker-app.

#include <cstdio>
#include <string>
#include <string_view>

// `text` with every character that could end or split a line written as an
// escape, and every backslash doubled, so that a line built from names stays
// one line and reads back unambiguously:
// - "\n", "\t", "\r"; the other C0 controls and DEL as "\xHH";
// - the C1 controls U+0080 to U+009F as "\u00HH" (U+0085 is a line break to
//   some readers);
// - U+2028 and U+2029, the line and paragraph separators, as "\u2028" and
//   "\u2029".
inline std::string TDMEscapedForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  auto byteAt = [&](std::size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  char escape[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = byteAt(i);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n' || c == '\t' || c == '\r') {
      out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    } else if (c == 0xC2 && byteAt(i + 1) >= 0x80 && byteAt(i + 1) <= 0x9F) {
      std::snprintf(escape, sizeof escape, "\\u%04X", byteAt(++i));
      out += escape;
    } else if (c == 0xE2 && byteAt(i + 1) == 0x80 &&
               (byteAt(i + 2) == 0xA8 || byteAt(i + 2) == 0xA9)) {
      out += byteAt(i + 2) == 0xA8 ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}
