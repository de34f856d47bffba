#include "platform/host/CommandOptions.h"

#include <charconv>
#include <cmath>

namespace Host {

bool NumberRange::contains(double value) const {
  return std::isfinite(value) && value >= minimum && value <= maximum;
}

std::string NumberRange::text() const {
  if (std::isinf(minimum) && std::isinf(maximum)) return "a finite number";
  if (std::isinf(maximum)) return "a number from " + numberText(minimum);
  if (std::isinf(minimum)) return "a number up to " + numberText(maximum);
  return "a number from " + numberText(minimum) + " to " + numberText(maximum);
}

std::string numberText(double value) {
  char text[400];
  const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return std::string(text, written.ptr);
}

std::optional<double> parseNumber(std::string_view text, NumberRange range) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto parsed = std::from_chars(text.data(), end, value);
  if (parsed.ec != std::errc() || parsed.ptr != end || !range.contains(value)) return std::nullopt;
  return value;
}

CLI::Validator detail::numberValidator(NumberRange range) {
  return CLI::Validator(
      [range](std::string& value) {
        return parseNumber(value, range) ? std::string()
                                         : "needs " + range.text() + ", not " + value;
      },
      "");
}

}  // namespace Host
