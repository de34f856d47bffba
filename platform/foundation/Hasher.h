#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace Foundation {

// Feeds bytes into one 64-bit hash, in the style of the platform's Hasher:
// a value "feeds the hasher" its parts in a fixed order, and the result is
// read once with finalize(). Not seeded per process and not for storage; only
// consistency with equality matters. Cost: one multiply per 8 bytes.
class Hasher {
 public:
  void combineBytes(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (count >= 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes, 8);
      mix(word);
      bytes += 8;
      count -= 8;
    }
    if (count > 0) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes, count);
      mix(word ^ (std::uint64_t{count} << 56));
    }
  }

  void combine(std::uint8_t byte) { mix(std::uint64_t{byte} | (std::uint64_t{1} << 63)); }
  void combine(bool value) { combine(static_cast<std::uint8_t>(value ? 1 : 0)); }
  void combine(std::int64_t value) { mix(static_cast<std::uint64_t>(value)); }
  void combine(std::uint64_t value) { mix(value); }
  // Feeds the 64-bit pattern of a double; -0.0 is fed as +0.0 so that equal
  // values hash equal. (A NaN equals nothing, so its pattern is fed as is.)
  void combine(double value) {
    if (value == 0) value = 0;
    mix(std::bit_cast<std::uint64_t>(value));
  }
  // Feeds the bytes of a string followed by its length, so that "ab","c"
  // and "a","bc" differ.
  void combine(std::string_view text) {
    combineBytes(text.data(), text.size());
    mix(text.size());
  }

  std::size_t finalize() const {
    std::uint64_t h = state_;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return static_cast<std::size_t>(h);
  }

 private:
  void mix(std::uint64_t word) {
    state_ ^= word + 0x9e3779b97f4a7c15ULL + (state_ << 6) + (state_ >> 2);
    state_ *= 0x100000001b3ULL;
  }

  std::uint64_t state_ = 0xcbf29ce484222325ULL;
};

}  // namespace Foundation
