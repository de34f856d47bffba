#include "platform/foundation/UnicodeText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;
using Foundation::canonicallyEquivalent;
using Foundation::characterCount;
using Foundation::isValidUTF8;

std::size_t canonicalHash(std::string_view text) {
  Foundation::Hasher hasher;
  Foundation::hashCanonical(hasher, text);
  return hasher.finalize();
}

// Well-formedness follows the table of well-formed byte sequences in the
// Unicode standard (chapter 3, table 3-7).
TEST(UnicodeText, ValidUTF8AcceptsWellFormedSequencesOnly) {
  struct Case {
    std::string_view bytes;
    bool valid;
  };
  const Case cases[] = {
      {""sv, true},
      {"plain ASCII"sv, true},
      {"a\0b"sv, true},               // U+0000 is a character like any other
      {"\xC3\xA9"sv, true},           // U+00E9
      {"\xEF\xBF\xBF"sv, true},       // U+FFFF, a noncharacter but well-formed
      {"\xF0\x9F\x98\x80"sv, true},   // U+1F600
      {"\xF4\x8F\xBF\xBF"sv, true},   // U+10FFFF
      {"\xC0\xAF"sv, false},          // overlong "/"
      {"\xC1\xBF"sv, false},          // overlong
      {"\xE0\x9F\xBF"sv, false},      // overlong three-byte form
      {"\xF0\x8F\xBF\xBF"sv, false},  // overlong four-byte form
      {"\xED\xA0\x80"sv, false},      // surrogate U+D800
      {"\xED\xBF\xBF"sv, false},      // surrogate U+DFFF
      {"\xF4\x90\x80\x80"sv, false},  // U+110000
      {"\xF5\x80\x80\x80"sv, false},  // lead byte beyond the range
      {"\x80"sv, false},              // lone continuation byte
      {"\xE2\x82"sv, false},          // truncated at the end
      {"\xE2\x82x"sv, false},         // truncated before ASCII
      {"\xFF"sv, false},
      {"abcdefgh\xC3"sv, false},  // after an ASCII word
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isValidUTF8(c.bytes), c.valid) << testing::PrintToString(std::string(c.bytes));
  }
}

// Pairs from the Unicode normalization forms (UAX #15): singletons,
// compositions, canonical reordering of combining marks, Hangul syllables.
TEST(UnicodeText, CanonicallyEquivalentTextsAreEqualAndHashEqual) {
  struct Pair {
    std::string_view a;
    std::string_view b;
  };
  const Pair pairs[] = {
      {"\u00E9"sv, "e\u0301"sv},  // é precomposed vs decomposed
      {"caf\u00E9 au lait"sv, "cafe\u0301 au lait"sv},
      {"\u212B"sv, "\u00C5"sv},  // ANGSTROM SIGN vs Å
      {"\u212B"sv, "A\u030A"sv},
      {"\u212A"sv, "K"sv},                     // KELVIN SIGN vs ASCII K
      {"\u037E"sv, ";"sv},                     // GREEK QUESTION MARK vs semicolon
      {"a\u0323\u0301"sv, "a\u0301\u0323"sv},  // marks of different classes reorder
      {"\uAC00"sv, "\u1100\u1161"sv},          // Hangul syllable GA vs its jamo
      {"a\0\u00E9"sv, "a\0e\u0301"sv},         // U+0000 inside the text
      {"\u00E9\0"sv, "e\u0301\0"sv},
  };
  for (const Pair& p : pairs) {
    const std::string shown = std::string(p.a) + " / " + std::string(p.b);
    EXPECT_TRUE(canonicallyEquivalent(p.a, p.b)) << shown;
    EXPECT_TRUE(canonicallyEquivalent(p.b, p.a)) << shown;
    EXPECT_EQ(canonicalHash(p.a), canonicalHash(p.b)) << shown;
  }
}

TEST(UnicodeText, TextsThatAreNotCanonicallyEquivalentDiffer) {
  struct Pair {
    std::string_view a;
    std::string_view b;
  };
  const Pair pairs[] = {
      {"e"sv, "\u00E9"sv},
      {"a"sv, "A"sv},
      {"\uFB01"sv, "fi"sv},                    // compatibility only, not canonical
      {"\u2026"sv, "..."sv},                   // likewise
      {"a\u0301\u0301"sv, "a\u0301"sv},        // a repeated mark is not absorbed
      {"a\u0301\u0300"sv, "a\u0300\u0301"sv},  // marks of the same class keep their order
      {"a\0b"sv, "a\0c"sv},                    // a difference after U+0000 still counts
      {"a"sv, "a\0"sv},
      {""sv, "\0"sv},
  };
  for (const Pair& p : pairs) {
    const std::string shown = std::string(p.a) + " / " + std::string(p.b);
    EXPECT_FALSE(canonicallyEquivalent(p.a, p.b)) << shown;
    EXPECT_FALSE(canonicallyEquivalent(p.b, p.a)) << shown;
  }
}

TEST(UnicodeText, InvalidUTF8ComparesAndHashesByBytes) {
  EXPECT_TRUE(canonicallyEquivalent("\xFF\xC3\xA9"sv, "\xFF\xC3\xA9"sv));
  EXPECT_EQ(canonicalHash("\xFF\xC3\xA9"sv), canonicalHash("\xFF\xC3\xA9"sv));
  // Valid after the bad byte but for the bad byte itself: no normalisation.
  EXPECT_FALSE(canonicallyEquivalent("\xFF\xC3\xA9"sv,
                                     "\xFF"
                                     "e\xCC\x81"sv));
  EXPECT_FALSE(canonicallyEquivalent("\xED\xA0\x80"sv, "\xEF\xBF\xBD"sv));
  EXPECT_FALSE(canonicallyEquivalent("\xFF"sv, "\xFE"sv));
}

// Counts worked out from the grapheme cluster rules of UAX #29 (rule names in
// the comments) and the platform's documented examples.
TEST(UnicodeText, CharacterCountFollowsExtendedGraphemeClusters) {
  struct Case {
    std::string_view text;
    std::size_t count;
  };
  const Case cases[] = {
      {""sv, 0},
      {"Alpha, Beta"sv, 11},
      {"\r\n"sv, 1},            // GB3
      {"\n\r"sv, 2},            // GB4, GB5
      {"a\r\nb\r\n\r\n"sv, 5},  // a, CR LF, b, CR LF, CR LF
      {"\0"sv, 1},              // a control is one character
      {"a\0b"sv, 3},
      {"e\u0301"sv, 1},  // GB9, Extend
      {"\u00E9"sv, 1},
      {"\r\u0301"sv, 2},      // GB4 wins over GB9
      {"\u0301"sv, 1},        // a lone mark
      {" \u0301x"sv, 2},      // a mark joins the space before it
      {"\u0915\u093E"sv, 1},  // GB9a, SpacingMark
      {"\u0600a"sv, 1},       // GB9b, Prepend
      {"a\u0600"sv, 2},
      {"\u1100\u1161\u11A8"sv, 1},    // GB6, GB7: L V T
      {"\uAC00\u11A8"sv, 1},          // GB7: LV T
      {"\U0001F44D\U0001F3FD"sv, 1},  // emoji with a skin-tone modifier
      {"\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466"sv, 1},  // GB11
      {"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA"sv, 2},                    // two flags, GB12/GB13
      {"\U0001F1EB\U0001F1F7\U0001F1E9"sv, 2},        // an odd regional indicator left over
      {"\u0928\u092E\u0938\u094D\u0924\u0947"sv, 3},  // "नमस्ते"
      {"\u0915\u094D\u0937\u093F"sv, 1},              // "क्षि", a conjunct
      {"caf\u00E9 cafe\u0301"sv, 9},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(characterCount(c.text), c.count) << testing::PrintToString(std::string(c.text));
  }
}

TEST(UnicodeText, CharacterCountOfInvalidUTF8CountsEachBadSequenceOnce) {
  EXPECT_EQ(characterCount("\xFF"sv), 1u);
  EXPECT_EQ(characterCount("a\xFF"
                           "b"sv),
            3u);
  EXPECT_EQ(characterCount("\xFF\xFE"sv), 2u);
  EXPECT_EQ(characterCount("\xE2\x82"sv), 1u);  // one truncated sequence
  EXPECT_EQ(characterCount("\xE2\x82"
                           "a"sv),
            2u);
  EXPECT_EQ(characterCount("\xED\xA0\x80"sv), 3u);  // a surrogate: no valid prefix, three bad bytes
}

TEST(UnicodeText, CharacterBoundariesAreByteOffsets) {
  using Offsets = std::vector<std::size_t>;
  EXPECT_EQ(Foundation::characterBoundaries(""sv), Offsets{0});
  EXPECT_EQ(Foundation::characterBoundaries("a\r\nb"sv), (Offsets{0, 1, 3, 4}));
  EXPECT_EQ(Foundation::characterBoundaries("e\u0301x"sv), (Offsets{0, 3, 4}));
  EXPECT_EQ(Foundation::characterBoundaries("\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA"sv),
            (Offsets{0, 8, 16}));
  EXPECT_EQ(Foundation::characterBoundaries("\u0915\u094D\u0937\u093F!"sv), (Offsets{0, 12, 13}));
  EXPECT_EQ(Foundation::characterBoundaries("a\xFF"
                                            "b"sv),
            (Offsets{0, 1, 2, 3}));
}

TEST(UnicodeText, CharacterCountOfLongMixedText) {
  // 1,000 ASCII letters and 1,000 decomposed "é": 2,000 characters.
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "ae\u0301";
  EXPECT_EQ(characterCount(text), 2000u);
}

}  // namespace
