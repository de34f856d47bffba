#include "platform/foundation/CodingError.h"

#include "platform/foundation/Codable.h"

namespace Foundation {

std::string describeCodingPath(const CodingPath& path) {
  std::string out = "[";
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (i > 0) out += ", ";
    out += '"';
    out += path[i];
    out += '"';
  }
  out += ']';
  return out;
}

std::string_view DecodingError::name(Kind kind) {
  switch (kind) {
    case Kind::keyNotFound: return "keyNotFound";
    case Kind::valueNotFound: return "valueNotFound";
    case Kind::typeMismatch: return "typeMismatch";
    case Kind::dataCorrupted: return "dataCorrupted";
  }
  return "dataCorrupted";
}

}  // namespace Foundation

namespace Foundation::detail {

CodingPath makeCodingPath(const CodingPathNode* node) {
  CodingPath path;
  for (; node != nullptr; node = node->parent) {
    if (node->index >= 0) {
      path.push_back("Index " + std::to_string(node->index));
    } else {
      path.emplace_back(node->key);
    }
  }
  return CodingPath(path.rbegin(), path.rend());
}

}  // namespace Foundation::detail
