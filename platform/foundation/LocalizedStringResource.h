#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// A reference to a localizable text that is resolved when it is shown: a key,
// the default text to show when no translation exists, and the string table
// (nullopt: the default table) of the main bundle.
//
// Made from a literal, the literal is both the key and the default value:
// LocalizedStringResource("Pause Downloads"). A plain value; copies are
// independent.
class LocalizedStringResource {
 public:
  explicit LocalizedStringResource(std::string keyAndValue)
      : key_(keyAndValue), defaultValue_(std::move(keyAndValue)) {}
  LocalizedStringResource(std::string key, std::string defaultValue,
                          std::optional<std::string> table = std::nullopt)
      : key_(std::move(key)), defaultValue_(std::move(defaultValue)), table_(std::move(table)) {}

  const std::string& key() const { return key_; }
  const std::string& defaultValue() const { return defaultValue_; }
  // nullopt: the default table ("Localizable").
  const std::optional<std::string>& table() const { return table_; }

  // The text to show: the translation of the key, else the default value.
  // No string tables exist in this system, so this is the default value.
  std::string localized() const;

  friend bool operator==(const LocalizedStringResource&, const LocalizedStringResource&) = default;

 private:
  std::string key_;
  std::string defaultValue_;
  std::optional<std::string> table_;
};

}  // namespace Foundation
