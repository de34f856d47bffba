#include "platform/foundation/JSONWriter.h"

#include <cassert>
#include <charconv>
#include <cmath>

namespace Foundation {

void JSONWriter::newline() {
  if (!options_.prettyPrinted) return;
  out_.push_back('\n');
  out_.append(2 * stack_.size(), ' ');
}

void JSONWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (stack_.empty()) {
    assert(out_.empty() && "JSONWriter: a second top-level value");
    return;
  }
  Level& level = stack_.back();
  assert(!level.isObject && "JSONWriter: a value in an object needs a key first");
  if (!level.empty) out_.push_back(',');
  level.empty = false;
  newline();
}

void JSONWriter::key(std::string_view name) {
  assert(!stack_.empty() && stack_.back().isObject && !afterKey_);
  Level& level = stack_.back();
  if (!level.empty) out_.push_back(',');
  level.empty = false;
  newline();
  out_.push_back('"');
  appendEscaped(out_, name, options_.escapeSlashes);
  out_.append(options_.prettyPrinted ? "\": " : "\":");
  afterKey_ = true;
}

void JSONWriter::beginObject() {
  beforeValue();
  out_.push_back('{');
  stack_.push_back({true});
}

void JSONWriter::endObject() {
  assert(!stack_.empty() && stack_.back().isObject && !afterKey_);
  bool empty = stack_.back().empty;
  stack_.pop_back();
  if (!empty) newline();
  out_.push_back('}');
}

void JSONWriter::beginArray() {
  beforeValue();
  out_.push_back('[');
  stack_.push_back({false});
}

void JSONWriter::endArray() {
  assert(!stack_.empty() && !stack_.back().isObject);
  bool empty = stack_.back().empty;
  stack_.pop_back();
  if (!empty) newline();
  out_.push_back(']');
}

void JSONWriter::string(std::string_view text) {
  beforeValue();
  out_.push_back('"');
  appendEscaped(out_, text, options_.escapeSlashes);
  out_.push_back('"');
}

void JSONWriter::number(double value) {
  assert(std::isfinite(value) && "JSONWriter: JSON has no NaN or infinity");
  beforeValue();
  appendNumber(out_, value);
}

void JSONWriter::integer(std::int64_t value) {
  beforeValue();
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out_.append(buffer, result.ptr);
}

void JSONWriter::boolean(bool value) {
  beforeValue();
  out_.append(value ? "true" : "false");
}

void JSONWriter::null() {
  beforeValue();
  out_.append("null");
}

void JSONWriter::appendNumber(std::string& out, double value) {
  // The shortest digits that read back exactly, laid out as the platform
  // writes a double: plain decimal from 1e-4 up to 2^53 (818000000,
  // 0.0001), exponent form outside that range (1e+20, 1e-05).
  constexpr double plainFrom = 1e-4;
  constexpr double plainBelow = 9007199254740992.0;  // 2^53
  const double magnitude = std::fabs(value);
  const auto format = magnitude == 0 || (magnitude >= plainFrom && magnitude < plainBelow)
                          ? std::chars_format::fixed
                          : std::chars_format::scientific;
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
  out.append(buffer, result.ptr);
}

void JSONWriter::appendEscaped(std::string& out, std::string_view text, bool escapeSlashes) {
  static constexpr char hex[] = "0123456789abcdef";
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\' && !(c == '/' && escapeSlashes)) continue;
    out.append(text.data() + runStart, i - runStart);
    runStart = i + 1;
    switch (c) {
      case '"': out.append("\\\""); break;
      case '\\': out.append("\\\\"); break;
      case '/': out.append("\\/"); break;
      case '\b': out.append("\\b"); break;
      case '\f': out.append("\\f"); break;
      case '\n': out.append("\\n"); break;
      case '\r': out.append("\\r"); break;
      case '\t': out.append("\\t"); break;
      default:
        out.append("\\u00");
        out.push_back(hex[c >> 4]);
        out.push_back(hex[c & 0xf]);
    }
  }
  out.append(text.data() + runStart, text.size() - runStart);
}

}  // namespace Foundation
