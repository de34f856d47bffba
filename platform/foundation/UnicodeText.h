#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/foundation/Hasher.h"

// Text as the platform's String sees it: UTF-8 bytes (which may hold U+0000;
// lengths are always passed), compared by canonical equivalence and counted in
// extended grapheme clusters. Backed by ICU.
namespace Foundation {

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates,
// nothing above U+10FFFF).
bool isValidUTF8(std::string_view text);

// True when the two texts are canonically equivalent ("é" as one code point
// equals "e" followed by U+0301). Texts that are not valid UTF-8 compare by
// their bytes.
bool canonicallyEquivalent(std::string_view a, std::string_view b);

// Feeds the hasher a form of the text that is the same for canonically
// equivalent texts (its NFC form), so that hashing agrees with
// canonicallyEquivalent.
void hashCanonical(Hasher& hasher, std::string_view text);

// The number of user-perceived characters (extended grapheme clusters, with
// the rule that keeps an Indic conjunct together: "क्षि" is one).
std::size_t characterCount(std::string_view text);

// The characters of a text: how many, and the byte offset at which the last
// one starts (0 for an empty text). Appending text never moves a boundary
// before the last character, which lets a caller count a growing text by
// re-scanning only its tail.
struct CharacterScan {
  std::size_t count = 0;
  std::size_t lastCharacterStart = 0;
};
CharacterScan scanCharacters(std::string_view text);

// The byte offsets at which the characters of `text` begin, followed by
// text.size(): "" gives {0}, "ab" {0, 1, 2}. Ill-formed UTF-8 is read with
// U+FFFD replacements, each its own character.
std::vector<std::size_t> characterBoundaries(std::string_view text);

// True when Unicode's line breaking rules (UAX #14, as ICU implements them
// for no particular language) let a line end before the byte at `offset`:
// after a space, after a hyphen, between ideographs and emoji, and the like;
// never inside a word. The start and the end of a text count as
// opportunities. False for an offset inside a character or past the end.
bool isLineBreakOpportunity(std::string_view text, std::size_t offset);

}  // namespace Foundation
