#include "platform/foundation/UnicodeText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;
using Foundation::canonicallyEquivalent;
using Foundation::characterCount;

std::size_t canonicalHash(std::string_view text) {
  Foundation::Hasher hasher;
  Foundation::hashCanonical(hasher, text);
  return hasher.finalize();
}

std::string shown(std::string_view text) {
  return testing::PrintToString(std::string(text));
}

// Well-formedness follows the table of well-formed byte sequences in the
// Unicode standard (chapter 3, table 3-7).
TEST(UnicodeText, ValidUTF8AcceptsWellFormedSequencesOnly) {
  const std::pair<std::string_view, bool> cases[] = {
      {"a\0b"sv, true},               // U+0000 is a character like any other
      {"\xC3\xA9"sv, true},           // U+00E9
      {"\xEF\xBF\xBF"sv, true},       // U+FFFF, a noncharacter but well-formed
      {"\xF0\x9F\x98\x80"sv, true},   // U+1F600
      {"\xF4\x8F\xBF\xBF"sv, true},   // U+10FFFF
      {"\xC0\xAF"sv, false},          // overlong "/"
      {"\xE0\x9F\xBF"sv, false},      // overlong three-byte form
      {"\xF0\x8F\xBF\xBF"sv, false},  // overlong four-byte form
      {"\xED\xA0\x80"sv, false},      // surrogate U+D800
      {"\xF4\x90\x80\x80"sv, false},  // U+110000
      {"\xF5\x80\x80\x80"sv, false},  // lead byte beyond the range
      {"\x80"sv, false},              // lone continuation byte
      {"\xE2\x82"sv, false},          // truncated at the end
      {"\xE2\x82x"sv, false},         // truncated before ASCII
      {"abcdefgh\xC3"sv, false},      // after an ASCII word
  };
  for (const auto& [bytes, valid] : cases) {
    EXPECT_EQ(Foundation::isValidUTF8(bytes), valid) << shown(bytes);
  }
}

// Pairs from the Unicode normalization forms (UAX #15): singletons,
// compositions, canonical reordering of combining marks, Hangul syllables.
// Equivalent texts hash equal; text that is not valid UTF-8 compares by its
// bytes, without normalising its valid parts.
TEST(UnicodeText, CanonicalEquivalenceAndHashingAgree) {
  struct Pair {
    std::string_view a;
    std::string_view b;
    bool equivalent;
  };
  const Pair pairs[] = {
      {"\u00E9"sv, "e\u0301"sv, true},  // é precomposed vs decomposed
      {"\u212B"sv, "\u00C5"sv, true},   // ANGSTROM SIGN vs Å
      {"\u212B"sv, "A\u030A"sv, true},
      {"\u212A"sv, "K"sv, true},                     // KELVIN SIGN vs ASCII K
      {"\u037E"sv, ";"sv, true},                     // GREEK QUESTION MARK vs semicolon
      {"a\u0323\u0301"sv, "a\u0301\u0323"sv, true},  // marks of different classes reorder
      {"\uAC00"sv, "\u1100\u1161"sv, true},          // Hangul syllable GA vs its jamo
      {"a\0\u00E9"sv, "a\0e\u0301"sv, true},         // U+0000 inside the text
      {"\u00E9\0"sv, "e\u0301\0"sv, true},
      {"e"sv, "\u00E9"sv, false},
      {"\uFB01"sv, "fi"sv, false},                    // compatibility only, not canonical
      {"a\u0301\u0301"sv, "a\u0301"sv, false},        // a repeated mark is not absorbed
      {"a\u0301\u0300"sv, "a\u0300\u0301"sv, false},  // marks of the same class keep their order
      {"a\0b"sv, "a\0c"sv, false},                    // a difference after U+0000 still counts
      {"a"sv, "a\0"sv, false},
      {""sv, "\0"sv, false},
      {"\xFF\xC3\xA9"sv, "\377e\xCC\x81"sv, false},  // 0xFF, then é in two forms
      {"\xED\xA0\x80"sv, "\xEF\xBF\xBD"sv, false},
      {"\xFF"sv, "\xFE"sv, false},
  };
  for (const auto& [a, b, equivalent] : pairs) {
    SCOPED_TRACE(shown(a) + " / " + shown(b));
    EXPECT_EQ(canonicallyEquivalent(a, b), equivalent);
    EXPECT_EQ(canonicallyEquivalent(b, a), equivalent);
    if (equivalent) {
      EXPECT_EQ(canonicalHash(a), canonicalHash(b));
    }
  }
}

// Counts worked out from the grapheme cluster rules of UAX #29 (rule names in
// the comments) and the platform's documented examples. Each byte sequence
// that is not well-formed counts once.
TEST(UnicodeText, CharacterCountFollowsExtendedGraphemeClusters) {
  const std::pair<std::string_view, std::size_t> cases[] = {
      {""sv, 0},
      {"Alpha, Beta"sv, 11},
      {"\r\n"sv, 1},            // GB3
      {"\n\r"sv, 2},            // GB4, GB5
      {"a\r\nb\r\n\r\n"sv, 5},  // a, CR LF, b, CR LF, CR LF
      {"a\0b"sv, 3},            // a control is one character
      {"e\u0301"sv, 1},         // GB9, Extend
      {"\r\u0301"sv, 2},        // GB4 wins over GB9
      {"\u0301"sv, 1},          // a lone mark
      {"\u0915\u093E"sv, 1},    // GB9a, SpacingMark
      {"\u0600a"sv, 1},         // GB9b, Prepend
      {"a\u0600"sv, 2},
      {"\u1100\u1161\u11A8"sv, 1},    // GB6, GB7: L V T
      {"\U0001F44D\U0001F3FD"sv, 1},  // emoji with a skin-tone modifier
      {"\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466"sv, 1},  // GB11
      {"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA"sv, 2},                    // two flags, GB12/GB13
      {"\U0001F1EB\U0001F1F7\U0001F1E9"sv, 2},        // an odd regional indicator left over
      {"\u0928\u092E\u0938\u094D\u0924\u0947"sv, 3},  // "नमस्ते"
      {"\u0915\u094D\u0937\u093F"sv, 1},              // "क्षि", a conjunct
      {"caf\u00E9 cafe\u0301"sv, 9},
      {"a\377b"sv, 3},  // 0xFF between letters
      {"\xFF\xFE"sv, 2},
      {"\342\202a"sv, 2},     // one truncated sequence (E2 82), then "a"
      {"\xED\xA0\x80"sv, 3},  // a surrogate: no valid prefix, three bad bytes
  };
  for (const auto& [text, count] : cases) EXPECT_EQ(characterCount(text), count) << shown(text);
}

TEST(UnicodeText, CharacterBoundariesAreByteOffsets) {
  using Offsets = std::vector<std::size_t>;
  EXPECT_EQ(Foundation::characterBoundaries(""sv), Offsets{0});
  EXPECT_EQ(Foundation::characterBoundaries("a\r\nb"sv), (Offsets{0, 1, 3, 4}));
  EXPECT_EQ(Foundation::characterBoundaries("e\u0301x"sv), (Offsets{0, 3, 4}));
  EXPECT_EQ(Foundation::characterBoundaries("\u0915\u094D\u0937\u093F!"sv), (Offsets{0, 12, 13}));
  EXPECT_EQ(Foundation::characterBoundaries("a\377b"sv), (Offsets{0, 1, 2, 3}));
}

}  // namespace
