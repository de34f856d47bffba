#pragma once

#include <CLI/CLI.hpp>

#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/host/Host.h"

// The two kinds of option value the commands take besides paths and flags:
// numbers and names from a fixed set. Each is added by one helper, which
// writes what it accepts into --help and, for anything else, gives the usage
// error "--OPTION: needs ..., not VALUE".
namespace Host {

// The numbers an option accepts: finite, from `minimum` to `maximum`
// inclusive (an unbounded side is an infinity).
struct NumberRange {
  double minimum = -std::numeric_limits<double>::infinity();
  double maximum = std::numeric_limits<double>::infinity();

  bool contains(double value) const;
  // "a number from 0.1 to 10", or "a finite number" when unbounded.
  std::string text() const;
};

// The shortest decimal text of a number, without an exponent
// ("0.001", "1000000").
std::string numberText(double value);

// The value of `text` when it is wholly a number within `range`.
std::optional<double> parseNumber(std::string_view text, NumberRange range);

namespace detail {
CLI::Validator numberValidator(NumberRange range);
}  // namespace detail

// Adds `name` (for example "--scale") taking a number within `range` into
// `value`. The help reads "<description>, <range> (default <value>)".
inline CLI::Option* addNumberOption(CLI::App* command, const std::string& name, double& value,
                                    NumberRange range, const std::string& description,
                                    const std::string& typeName = "N") {
  return command
      ->add_option_function<std::string>(
          name, [&value, range](const std::string& given) { value = *parseNumber(given, range); },
          description + ", " + range.text() + " (default " + numberText(value) + ")")
      ->check(detail::numberValidator(range))
      ->type_name(typeName);
}

// The same for a number that may be left out: `value` stays empty unless
// given, and the help says what stands in for it (`otherwise`).
inline CLI::Option* addNumberOption(CLI::App* command, const std::string& name,
                                    std::optional<double>& value, NumberRange range,
                                    const std::string& description, const std::string& typeName,
                                    const std::string& otherwise) {
  return command
      ->add_option_function<std::string>(
          name, [&value, range](const std::string& given) { value = *parseNumber(given, range); },
          description + ", " + range.text() + " (default " + otherwise + ")")
      ->check(detail::numberValidator(range))
      ->type_name(typeName);
}

// A name an option accepts and the value it stands for.
template <class T>
struct Choice {
  std::string name;
  T value;
};

// The choices of `values`, each under `name(value)`.
template <class T, class Values, class Name>
std::vector<Choice<T>> namedChoices(const Values& values, Name name) {
  std::vector<Choice<T>> choices;
  for (const auto& value : values) choices.push_back({std::string(name(value)), T(value)});
  return choices;
}

// Adds `name` taking one of the choices' names into `value`. The help reads
// "<description>: <name>, <name>, … (default <name of value>)".
template <class T>
CLI::Option* addChoiceOption(CLI::App* command, const std::string& name, T& value,
                             std::vector<Choice<T>> choices, const std::string& description,
                             const std::string& typeName) {
  std::string names, defaultName;
  for (const Choice<T>& choice : choices) {
    names += (names.empty() ? "" : ", ") + choice.name;
    if (choice.value == value) defaultName = choice.name;
  }
  CLI::Option* option = command->add_option_function<std::string>(
      name,
      [&value, choices](const std::string& given) {
        for (const Choice<T>& choice : choices) {
          if (choice.name == given) value = choice.value;
        }
      },
      description + ": " + names + (defaultName.empty() ? "" : " (default " + defaultName + ")"));
  return option
      ->check(CLI::Validator(
          [choices, names](std::string& given) {
            for (const Choice<T>& choice : choices) {
              if (choice.name == given) return std::string();
            }
            return "needs one of " + names + ", not " + given;
          },
          ""))
      ->type_name(typeName);
}

}  // namespace Host
