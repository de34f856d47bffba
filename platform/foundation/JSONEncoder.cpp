#include "platform/foundation/JSONEncoder.h"

#include <cassert>
#include <cmath>

namespace Foundation {

KeyedEncodingContainer Encoder::container() {
  state_->writer.beginObject();
  state_->open.push_back(true);
  return KeyedEncodingContainer(state_, path_, state_->open.size());
}

UnkeyedEncodingContainer Encoder::unkeyedContainer() {
  state_->writer.beginArray();
  state_->open.push_back(false);
  return UnkeyedEncodingContainer(state_, path_, state_->open.size());
}

SingleValueEncodingContainer Encoder::singleValueContainer() {
  return SingleValueEncodingContainer(*this);
}

void Encoder::encodeNil() {
  state_->writer.null();
}

void Encoder::encodeDouble(double value) {
  if (!std::isfinite(value)) {
    const char* name = std::isnan(value) ? "Double.nan"
                       : value > 0       ? "Double.infinity"
                                         : "-Double.infinity";
    throw EncodingError{detail::makeCodingPath(path_),
                        std::string("Unable to encode ") + name + " directly in JSON."};
  }
  state_->writer.number(value);
}

void KeyedEncodingContainer::writeKey(std::string_view key) {
  state_->closeTo(depth_);
  assert(state_->open.size() == depth_ &&
         "KeyedEncodingContainer used after its object was closed");
  state_->writer.key(key);
}

void KeyedEncodingContainer::encodeNil(std::string_view key) {
  writeKey(key);
  state_->writer.null();
}

KeyedEncodingContainer KeyedEncodingContainer::nestedContainer(std::string_view key) {
  writeKey(key);
  return Encoder(state_, state_->keep(path_, key, -1)).container();
}

UnkeyedEncodingContainer KeyedEncodingContainer::nestedUnkeyedContainer(std::string_view key) {
  writeKey(key);
  return Encoder(state_, state_->keep(path_, key, -1)).unkeyedContainer();
}

void UnkeyedEncodingContainer::encodeNil() {
  state_->closeTo(depth_);
  state_->writer.null();
  ++count_;
}

}  // namespace Foundation
