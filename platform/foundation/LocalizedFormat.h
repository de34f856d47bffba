#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace Foundation {

// An argument of a localizable format: an integer (for "%lld") or a text
// (for "%@").
using FormatArgument = std::variant<std::int64_t, std::string>;

// Renders a localizable format with its arguments, the way the platform's
// String(format:) does for the placeholders that localizable texts use:
//
//   "%lld"          the next argument as a decimal integer ("-42")
//   "%@"            the next argument as text
//   "%1$lld" "%2$@" the argument at that position (1-based), so that a
//                   translation can reorder arguments
//   "%%"            one percent sign
//
// For example renderFormat("%lld%%", {42}) is "42%" and
// renderFormat("%@ / %@", {"1 MB", "2 MB"}) is "1 MB / 2 MB".
//
// Choices where the platform's behaviour is undefined: an argument of the
// other kind than its placeholder is shown in its own form (a text for
// "%lld" as the text, an integer for "%@" in decimal); a placeholder without
// an argument, and any other "%" sequence, is copied unchanged.
// Cost: linear in the format and the arguments' lengths.
std::string renderFormat(std::string_view format, std::span<const FormatArgument> arguments);

// The format to use for a localization key: the key's translation from the
// string table, else the key itself. No tables exist in this system, so the
// key is its own default text.
std::string_view localizedFormat(std::string_view key);

}  // namespace Foundation
