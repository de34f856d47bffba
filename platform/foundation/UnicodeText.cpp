#include "platform/foundation/UnicodeText.h"

#include <unicode/brkiter.h>
#include <unicode/bytestream.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/stringpiece.h>
#include <unicode/utext.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace Foundation {
namespace {

// What a scan of the bytes found. ASCII text is its own NFC form and, but
// for CR LF, one character a byte, so most texts never reach ICU.
enum class Encoding { ascii, utf8, invalid };

bool isASCII(std::string_view text) {
  const char* p = text.data();
  std::size_t n = text.size();
  while (n >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080ULL) return false;
    p += 8;
    n -= 8;
  }
  for (; n > 0; --n, ++p) {
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
  }
  return true;
}

// Validates UTF-8 by the table of well-formed byte sequences: the second
// byte's range depends on the lead byte, which excludes overlongs (E0 80..9F,
// F0 80..8F), surrogates (ED A0..BF) and values above U+10FFFF (F4 90..BF).
bool isWellFormedUTF8(const unsigned char* p, std::size_t n) {
  std::size_t i = 0;
  while (i < n) {
    const unsigned char lead = p[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (n - i < length) return false;
    if (p[i + 1] < low || p[i + 1] > high) return false;
    for (std::size_t k = 2; k < length; ++k) {
      if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
    }
    i += length;
  }
  return true;
}

Encoding classify(std::string_view text) {
  // The ASCII prefix is skipped word by word; validation starts at the first
  // byte with its high bit set.
  std::size_t start = 0;
  while (text.size() - start >= 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + start, 8);
    if (word & 0x8080808080808080ULL) break;
    start += 8;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  while (start < text.size() && bytes[start] < 0x80) ++start;
  if (start == text.size()) return Encoding::ascii;
  return isWellFormedUTF8(bytes + start, text.size() - start) ? Encoding::utf8 : Encoding::invalid;
}

const icu::Normalizer2* nfcNormalizer() {
  // ICU caches the instance; it is immutable and safe to share between
  // threads. A failure here means ICU's data is missing.
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  return U_SUCCESS(status) ? nfc : nullptr;
}

// The NFC form of valid UTF-8 `text`: the text itself when it is already in
// NFC (checked without copying), else its normalised form written into
// `storage`. Texts too long for ICU's 32-bit lengths, or any ICU failure,
// give the text unchanged, which makes such texts compare by their bytes.
std::string_view nfcForm(std::string_view text, std::string& storage) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    return text;
  }
  const icu::Normalizer2* nfc = nfcNormalizer();
  if (nfc == nullptr) return text;
  const icu::StringPiece piece(text.data(), static_cast<std::int32_t>(text.size()));
  UErrorCode status = U_ZERO_ERROR;
  if (nfc->isNormalizedUTF8(piece, status) || U_FAILURE(status)) return text;
  storage.clear();
  storage.reserve(text.size() + text.size() / 4);
  icu::StringByteSink<std::string> sink(&storage);
  nfc->normalizeUTF8(0, piece, sink, nullptr, status);
  if (U_FAILURE(status)) return text;
  return storage;
}

// One break iterator of a kind per thread (ICU's iterators are not
// thread-safe), cloned from a process-wide prototype so that the rules are
// loaded once. Null when ICU's data is missing.
template <icu::BreakIterator* (*create)(const icu::Locale&, UErrorCode&)>
icu::BreakIterator* breakIterator() {
  static const std::unique_ptr<icu::BreakIterator> prototype = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> iterator(create(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) iterator.reset();
    return iterator;
  }();
  thread_local const std::unique_ptr<icu::BreakIterator> iterator(prototype ? prototype->clone()
                                                                            : nullptr);
  return iterator.get();
}

icu::BreakIterator* characterBreakIterator() {
  return breakIterator<&icu::BreakIterator::createCharacterInstance>();
}

icu::BreakIterator* lineBreakIterator() {
  return breakIterator<&icu::BreakIterator::createLineInstance>();
}

// Calls `visit` with the byte offset at which each character of `text`
// starts, in order.
template <typename Visit>
void forEachCharacterStart(std::string_view text, Visit visit) {
  if (text.empty()) return;
  if (isASCII(text)) {
    // Among ASCII characters only CR LF forms a cluster of two; every other
    // byte, controls included, is a character of its own.
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (i == 0 || text[i] != '\n' || text[i - 1] != '\r') visit(i);
    }
    return;
  }
  // One character a code point, counting each byte that starts no
  // well-formed sequence as one: the walk used when ICU cannot segment.
  const auto codePoints = [&] {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) visit(i);
    }
  };
  // ICU's break iterators report positions as 32-bit integers.
  icu::BreakIterator* iterator = characterBreakIterator();
  if (iterator == nullptr ||
      text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    codePoints();
    return;
  }
  // ICU's UTF-8 text reads each ill-formed sequence as one U+FFFD, which is a
  // character of its own (a combining mark after it still joins it).
  UErrorCode status = U_ZERO_ERROR;
  UText utext = UTEXT_INITIALIZER;
  utext_openUTF8(&utext, text.data(), static_cast<std::int64_t>(text.size()), &status);
  if (U_FAILURE(status)) {
    codePoints();
    return;
  }
  iterator->setText(&utext, status);
  if (U_FAILURE(status)) {
    utext_close(&utext);
    codePoints();
    return;
  }
  // Boundaries in UTF-8 text are byte offsets.
  std::int32_t previous = iterator->first();
  for (std::int32_t boundary = iterator->next(); boundary != icu::BreakIterator::DONE;
       boundary = iterator->next()) {
    visit(static_cast<std::size_t>(previous));
    previous = boundary;
  }
  utext_close(&utext);
}

}  // namespace

bool isValidUTF8(std::string_view text) {
  return classify(text) != Encoding::invalid;
}

bool canonicallyEquivalent(std::string_view a, std::string_view b) {
  if (a == b) return true;
  const Encoding ea = classify(a);
  const Encoding eb = classify(b);
  if (ea == Encoding::invalid || eb == Encoding::invalid) return false;
  // Distinct ASCII texts are distinct NFC forms. (One ASCII side is not
  // enough: "K" equals the Kelvin sign U+212A.)
  if (ea == Encoding::ascii && eb == Encoding::ascii) return false;
  std::string storageA;
  std::string storageB;
  const std::string_view na = ea == Encoding::ascii ? a : nfcForm(a, storageA);
  const std::string_view nb = eb == Encoding::ascii ? b : nfcForm(b, storageB);
  return na == nb;
}

void hashCanonical(Hasher& hasher, std::string_view text) {
  if (classify(text) != Encoding::utf8) {
    // ASCII is already NFC; invalid text compares (and so hashes) by bytes.
    hasher.combine(text);
    return;
  }
  std::string storage;
  hasher.combine(nfcForm(text, storage));
}

std::size_t characterCount(std::string_view text) {
  return scanCharacters(text).count;
}

CharacterScan scanCharacters(std::string_view text) {
  CharacterScan scan;
  forEachCharacterStart(text, [&scan](std::size_t start) {
    ++scan.count;
    scan.lastCharacterStart = start;
  });
  return scan;
}

std::vector<std::size_t> characterBoundaries(std::string_view text) {
  std::vector<std::size_t> bounds;
  forEachCharacterStart(text, [&bounds](std::size_t start) { bounds.push_back(start); });
  bounds.push_back(text.size());
  return bounds;
}

bool isLineBreakOpportunity(std::string_view text, std::size_t offset) {
  if (offset == 0 || offset == text.size()) return true;
  icu::BreakIterator* iterator = lineBreakIterator();
  if (offset > text.size() || iterator == nullptr ||
      text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    return false;
  }
  UErrorCode status = U_ZERO_ERROR;
  UText utext = UTEXT_INITIALIZER;
  utext_openUTF8(&utext, text.data(), static_cast<std::int64_t>(text.size()), &status);
  if (U_FAILURE(status)) return false;
  iterator->setText(&utext, status);
  // Boundaries in UTF-8 text are byte offsets.
  const bool opportunity =
      U_SUCCESS(status) && iterator->isBoundary(static_cast<std::int32_t>(offset)) != 0;
  utext_close(&utext);
  return opportunity;
}

}  // namespace Foundation
