#include "platform/foundation/LocalizedStringResource.h"

namespace Foundation {

std::string LocalizedStringResource::localized() const {
  return defaultValue_;
}

}  // namespace Foundation
