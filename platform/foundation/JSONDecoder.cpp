#include "platform/foundation/JSONDecoder.h"

#include <simdjson.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <deque>
#include <type_traits>

#include "platform/foundation/JSONWriter.h"

namespace Foundation {

namespace detail {

// An element of the parsed document is the document's address and the
// value's index in it, two words; JSONValueRef keeps the index only.
static_assert(sizeof(simdjson::dom::element) == 2 * sizeof(std::uint64_t));
static_assert(std::is_trivially_copyable_v<simdjson::dom::element>);

// Everything one JSONDecoder keeps: the parser (its buffers are reused), a
// padded copy of the input, and flat lists of the members and elements of
// the containers opened during the current decode (containers refer to them
// by position, so the lists may grow).
struct DecodingState {
  struct Member {
    std::string_view key;
    JSONValueRef value;
  };
  struct OwnedNode {
    std::string key;
    CodingPathNode node;
  };

  simdjson::dom::parser parser;
  const simdjson::dom::document* document = nullptr;  // parser.doc, the one being decoded
  std::vector<char> padded;
  std::vector<Member> members;
  std::vector<JSONValueRef> elements;
  std::deque<OwnedNode> nodes;  // paths of nested containers; stable addresses

  const CodingPathNode* keep(const CodingPathNode* parent, std::string_view key) {
    OwnedNode& owned = nodes.emplace_back(OwnedNode{std::string(key), {}});
    owned.node = CodingPathNode{parent, owned.key};
    return &owned.node;
  }
};

}  // namespace detail

namespace {

using detail::CodingPathNode;
using detail::JSONValueRef;
using simdjson::dom::element;
using simdjson::dom::element_type;

element toElement(const detail::DecodingState* state, JSONValueRef ref) {
  const std::uint64_t words[2] = {reinterpret_cast<std::uintptr_t>(state->document), ref.index};
  element value;
  std::memcpy(static_cast<void*>(&value), words, sizeof value);
  return value;
}

JSONValueRef toRef(const element& value) {
  JSONValueRef ref;
  std::memcpy(&ref.index, reinterpret_cast<const unsigned char*>(&value) + sizeof(std::uint64_t),
              sizeof ref.index);
  return ref;
}

DecodingError failure(DecodingError::Kind kind, const CodingPathNode* path,
                      std::string description) {
  return DecodingError{kind, detail::makeCodingPath(path), std::move(description)};
}

// The value's JSON type as the platform's messages name it.
std::string_view describe(element_type type) {
  switch (type) {
    case element_type::OBJECT: return "a dictionary";
    case element_type::ARRAY: return "an array";
    case element_type::STRING: return "a string";
    case element_type::INT64:
    case element_type::UINT64:
    case element_type::DOUBLE: return "a number";
    case element_type::BOOL: return "a bool";
    case element_type::NULL_VALUE: return "null";
  }
  return "a value";
}

// valueNotFound for null, typeMismatch for anything else.
[[noreturn]] void failType(element_type found, std::string_view expected,
                           const CodingPathNode* path) {
  if (found == element_type::NULL_VALUE) {
    throw failure(DecodingError::Kind::valueNotFound, path,
                  "Expected " + std::string(expected) + " value but found null instead.");
  }
  throw failure(DecodingError::Kind::typeMismatch, path,
                "Expected to decode " + std::string(expected) + " but found " +
                    std::string(describe(found)) + " instead.");
}

[[noreturn]] void failNotAnInt(std::string number, const CodingPathNode* path) {
  throw failure(DecodingError::Kind::dataCorrupted, path,
                "Parsed JSON number <" + number + "> does not fit in Int.");
}

std::string quoted(std::string_view key) {
  return "\"" + std::string(key) + "\"";
}

// A record's object has a handful of keys: a 64-bit filter on each key's
// length and first byte finds candidates, and only a key whose filter bit
// was set before is compared with the keys before it. Larger objects are
// sorted instead, so that no input costs quadratic time.
bool hasRepeatedKeys(const detail::DecodingState::Member* members, std::size_t count) {
  if (count <= 32) {
    std::uint64_t seen = 0;
    for (std::size_t i = 0; i < count; ++i) {
      std::string_view key = members[i].key;
      unsigned digest = static_cast<unsigned>(key.size()) * 7u +
                        (key.empty() ? 0u : static_cast<unsigned char>(key[0]));
      std::uint64_t bit = std::uint64_t{1} << (digest & 63u);
      if ((seen & bit) != 0) {
        for (std::size_t j = 0; j < i; ++j) {
          if (members[j].key == key) return true;
        }
      }
      seen |= bit;
    }
    return false;
  }
  std::vector<std::string_view> keys;
  keys.reserve(count);
  for (std::size_t i = 0; i < count; ++i) keys.push_back(members[i].key);
  std::sort(keys.begin(), keys.end());
  return std::adjacent_find(keys.begin(), keys.end()) != keys.end();
}

}  // namespace

// MARK: - Decoder

KeyedDecodingContainer Decoder::container() const {
  element value = toElement(state_, value_);
  if (value.type() != element_type::OBJECT) {
    if (value.type() == element_type::NULL_VALUE) {
      throw failure(DecodingError::Kind::valueNotFound, path_,
                    "Cannot get keyed decoding container -- found null value instead.");
    }
    failType(value.type(), "Dictionary<String, Any>", path_);
  }
  auto& members = state_->members;
  auto begin = static_cast<std::uint32_t>(members.size());
  for (auto field : simdjson::dom::object(value))
    members.push_back({field.key, toRef(field.value)});
  return KeyedDecodingContainer(path_, state_, begin, static_cast<std::uint32_t>(members.size()),
                                hasRepeatedKeys(members.data() + begin, members.size() - begin));
}

UnkeyedDecodingContainer Decoder::unkeyedContainer() const {
  element value = toElement(state_, value_);
  if (value.type() != element_type::ARRAY) {
    if (value.type() == element_type::NULL_VALUE) {
      throw failure(DecodingError::Kind::valueNotFound, path_,
                    "Cannot get unkeyed decoding container -- found null value instead.");
    }
    failType(value.type(), "Array<Any>", path_);
  }
  auto& elements = state_->elements;
  auto begin = static_cast<std::uint32_t>(elements.size());
  for (element item : simdjson::dom::array(value)) elements.push_back(toRef(item));
  return UnkeyedDecodingContainer(path_, state_, begin,
                                  static_cast<std::uint32_t>(elements.size()));
}

SingleValueDecodingContainer Decoder::singleValueContainer() const {
  return SingleValueDecodingContainer(*this);
}

bool Decoder::decodeNil() const {
  return toElement(state_, value_).type() == element_type::NULL_VALUE;
}

CodingPath Decoder::codingPath() const {
  return detail::makeCodingPath(path_);
}

void Decoder::dataCorrupted(std::string debugDescription) const {
  throw failure(DecodingError::Kind::dataCorrupted, path_, std::move(debugDescription));
}

bool Decoder::decodeBool() const {
  element value = toElement(state_, value_);
  if (value.type() != element_type::BOOL) failType(value.type(), "Bool", path_);
  return bool(value.get_bool().value_unsafe());
}

std::int64_t Decoder::decodeInt() const {
  element value = toElement(state_, value_);
  switch (value.type()) {
    case element_type::INT64: return value.get_int64().value_unsafe();
    case element_type::UINT64:
      // Only values above INT64_MAX are kept as unsigned.
      failNotAnInt(std::to_string(value.get_uint64().value_unsafe()), path_);
    case element_type::DOUBLE: {
      double number = value.get_double().value_unsafe();
      // The range check is on doubles: -2^63 is exact, and 2^63 is the first
      // value that does not fit.
      constexpr double limit = 9223372036854775808.0;
      if (std::trunc(number) == number && number >= -limit && number < limit) {
        return static_cast<std::int64_t>(number);
      }
      std::string text;
      JSONWriter::appendNumber(text, number);
      failNotAnInt(std::move(text), path_);
    }
    default: failType(value.type(), "Int", path_);
  }
}

double Decoder::decodeDouble() const {
  element value = toElement(state_, value_);
  switch (value.type()) {
    case element_type::DOUBLE: return value.get_double().value_unsafe();
    case element_type::INT64: return static_cast<double>(value.get_int64().value_unsafe());
    case element_type::UINT64: return static_cast<double>(value.get_uint64().value_unsafe());
    default: failType(value.type(), "Double", path_);
  }
}

std::string_view Decoder::decodeStringView() const {
  element value = toElement(state_, value_);
  if (value.type() != element_type::STRING) failType(value.type(), "String", path_);
  return value.get_string().value_unsafe();
}

// MARK: - KeyedDecodingContainer

JSONValueRef KeyedDecodingContainer::requiredValue(std::string_view key) const {
  JSONValueRef value;
  if (!presentValue(key, value) && !contains(key)) {
    throw failure(DecodingError::Kind::keyNotFound, path_,
                  "No value associated with key " + quoted(key) + ".");
  }
  return value;
}

bool KeyedDecodingContainer::presentValue(std::string_view key, JSONValueRef& value) const {
  const auto* members = state_->members.data();
  const detail::DecodingState::Member* found = nullptr;
  if (!hasRepeatedKeys_) {
    // Each key is there at most once: the first match is the only one.
    for (std::uint32_t n = end_ - begin_, i = next_; n > 0;
         --n, i = i + 1 == end_ ? begin_ : i + 1) {
      if (members[i].key == key) {
        found = &members[i];
        next_ = i + 1 == end_ ? begin_ : i + 1;
        break;
      }
    }
    if (found == nullptr) return false;
    value = found->value;
    return toElement(state_, value).type() != element_type::NULL_VALUE;
  }
  // Some key is repeated: scan the whole list, which finds the key and, in
  // the same pass, a second copy of it.
  for (std::uint32_t i = begin_; i < end_; ++i) {
    if (members[i].key != key) continue;
    if (found != nullptr) {
      CodingPathNode node{path_, key};
      throw failure(DecodingError::Kind::dataCorrupted, &node,
                    "Key " + quoted(key) + " is given more than once.");
    }
    found = &members[i];
  }
  if (found == nullptr) return false;
  value = found->value;
  return toElement(state_, value).type() != element_type::NULL_VALUE;
}

bool KeyedDecodingContainer::decodeBool(std::string_view key) const {
  CodingPathNode node{path_, key};
  return Decoder(requiredValue(key), &node, state_).decodeBool();
}

std::int64_t KeyedDecodingContainer::decodeInt(std::string_view key) const {
  CodingPathNode node{path_, key};
  return Decoder(requiredValue(key), &node, state_).decodeInt();
}

double KeyedDecodingContainer::decodeDouble(std::string_view key) const {
  CodingPathNode node{path_, key};
  return Decoder(requiredValue(key), &node, state_).decodeDouble();
}

bool KeyedDecodingContainer::contains(std::string_view key) const {
  const auto* members = state_->members.data();
  for (std::uint32_t i = begin_; i < end_; ++i) {
    if (members[i].key == key) return true;
  }
  return false;
}

bool KeyedDecodingContainer::decodeNil(std::string_view key) const {
  JSONValueRef value;
  return !presentValue(key, value);
}

Decoder KeyedDecodingContainer::nestedDecoder(std::string_view key) const {
  JSONValueRef value = requiredValue(key);
  return Decoder(value, state_->keep(path_, key), state_);
}

KeyedDecodingContainer KeyedDecodingContainer::nestedContainer(std::string_view key) const {
  return nestedDecoder(key).container();
}

UnkeyedDecodingContainer KeyedDecodingContainer::nestedUnkeyedContainer(
    std::string_view key) const {
  return nestedDecoder(key).unkeyedContainer();
}

// MARK: - UnkeyedDecodingContainer

JSONValueRef UnkeyedDecodingContainer::currentElement(const CodingPathNode& node) const {
  if (isAtEnd())
    throw failure(DecodingError::Kind::valueNotFound, &node, "Unkeyed container is at end.");
  return state_->elements[current_];
}

std::string_view UnkeyedDecodingContainer::nextStringView() {
  CodingPathNode node{path_, {}, static_cast<std::int64_t>(currentIndex())};
  std::string_view text = Decoder(currentElement(node), &node, state_).decodeStringView();
  ++current_;
  return text;
}

bool UnkeyedDecodingContainer::decodeNil() {
  if (isAtEnd() || toElement(state_, state_->elements[current_]).type() != element_type::NULL_VALUE)
    return false;
  ++current_;
  return true;
}

// MARK: - JSONDecoder

JSONDecoder::JSONDecoder() : state_(std::make_unique<detail::DecodingState>()) {}
JSONDecoder::~JSONDecoder() = default;
JSONDecoder::JSONDecoder(JSONDecoder&&) noexcept = default;
JSONDecoder& JSONDecoder::operator=(JSONDecoder&&) noexcept = default;

Decoder JSONDecoder::root(std::string_view json) {
  detail::DecodingState& state = *state_;
  state.members.clear();
  state.elements.clear();
  state.nodes.clear();
  // The parser reads up to SIMDJSON_PADDING bytes past the end; keep one
  // padded copy of the input instead of letting it allocate one per call.
  // The padding's contents do not matter, only that it can be read.
  if (state.padded.size() < json.size() + simdjson::SIMDJSON_PADDING) {
    state.padded.resize(json.size() + simdjson::SIMDJSON_PADDING);
  }
  if (!json.empty()) std::memcpy(state.padded.data(), json.data(), json.size());
  element value;
  if (state.parser.parse(state.padded.data(), json.size(), false).get(value) != simdjson::SUCCESS) {
    throw DecodingError{
        DecodingError::Kind::dataCorrupted, {}, "The given data was not valid JSON."};
  }
  state.document = &state.parser.doc;
  // The layout that toElement relies on: the document's address, then the index.
  assert(std::memcmp(&value, &state.document, sizeof state.document) == 0);
  assert(toElement(&state, toRef(value)).type() == value.type());
  return Decoder(toRef(value), nullptr, state_.get());
}

}  // namespace Foundation
