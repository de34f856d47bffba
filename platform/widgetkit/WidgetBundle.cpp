#include "platform/widgetkit/WidgetBundle.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace WidgetKit {

namespace detail {

std::string unqualifiedTypeName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  std::string name =
      status == 0 && demangled ? std::string(demangled.get()) : std::string(type.name());
  // Template arguments may hold "::" too; cut at the last one outside them.
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '<') ++depth;
    if (name[i] == '>') --depth;
    if (depth == 0 && name[i] == ':' && i + 1 < name.size() && name[i + 1] == ':') start = i + 2;
  }
  return name.substr(start);
}

}  // namespace detail

}  // namespace WidgetKit
