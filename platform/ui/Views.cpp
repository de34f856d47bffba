#include "platform/ui/Views.h"

namespace SwiftUI::detail {

std::vector<View> presentChildren(ViewList children) {
  std::vector<View> present;
  present.reserve(children.size());
  for (const auto& child : children) {
    if (child) present.push_back(*child);
  }
  return present;
}

}  // namespace SwiftUI::detail
