#include "presentation/FormatAppNames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/foundation/UnicodeText.h"

namespace tolvane {
namespace {

constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max();

TEST(FormatAppNames, NoNamesIsDownloadsWhateverTheLimit) {
  for (const std::int64_t maxLength :
       {std::int64_t{-1}, std::int64_t{0}, std::int64_t{35}, kNoLimit}) {
    EXPECT_EQ(formatAppNames({}, maxLength), "Downloads");
  }
}

TEST(FormatAppNames, OneNameComesBackWholeWhateverTheLimit) {
  const std::string sixty(60, 'x');
  EXPECT_EQ(formatAppNames({sixty}, 35), sixty);
  EXPECT_EQ(formatAppNames({sixty}, -1), sixty);
  EXPECT_EQ(formatAppNames({""}, 0), "");
}

TEST(FormatAppNames, AddsNamesWhileTheyFitAndMarksTheRest) {
  const std::vector<std::string> names{"Alpha", "Beta", "Gamma"};
  EXPECT_EQ(formatAppNames(names, 18), "Alpha, Beta, Gamma");  // exactly 18: all fit
  EXPECT_EQ(formatAppNames(names, kNoLimit), "Alpha, Beta, Gamma");
  EXPECT_EQ(formatAppNames(names, 17), "Alpha, Beta\u2026");
  EXPECT_EQ(formatAppNames(names, 11), "Alpha, Beta\u2026");  // 11 accepted, one left out
  EXPECT_EQ(formatAppNames(names, 5), "Alpha\u2026");         // two left out, one ellipsis
  EXPECT_EQ(formatAppNames(names, 4), "\u2026");              // the first name does not fit
  EXPECT_EQ(formatAppNames(names, 0), "\u2026");
  EXPECT_EQ(formatAppNames(names, -3), "\u2026");
}

TEST(FormatAppNames, StopsAtTheFirstNameThatDoesNotFit) {
  EXPECT_EQ(formatAppNames({"A long name", "B"}, 3), "\u2026");
  // "Alpha, B" would be 8 long, but B is never tried after the long name.
  EXPECT_EQ(formatAppNames({"Alpha", "A much longer name", "B"}, 8), "Alpha\u2026");
}

TEST(FormatAppNames, SeparatorDependsOnPositionNotOnText) {
  EXPECT_EQ(formatAppNames({"", "Beta"}, 10), ", Beta");
  EXPECT_EQ(formatAppNames({"", "Beta", "Gamma"}, 6), ", Beta\u2026");
  EXPECT_EQ(formatAppNames({"", "B"}, 0), "\u2026");  // "" fits, ", B" does not
}

TEST(FormatAppNames, CountsUserPerceivedCharacters) {
  // "Café, Zoë" with decomposed accents: 9 characters, 13 bytes.
  const std::vector<std::string> accents{"Cafe\u0301", "Zoe\u0308"};
  EXPECT_EQ(formatAppNames(accents, 9), "Cafe\u0301, Zoe\u0308");
  EXPECT_EQ(formatAppNames(accents, 8), "Cafe\u0301\u2026");

  // A family joined by zero-width joiners is one character, two flags two:
  // "F Family, FR DE" is 1 + 7 + 2 + 2 = 12.
  const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
  const std::vector<std::string> emoji{family + " Family",
                                       "\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA"};
  EXPECT_EQ(formatAppNames(emoji, 12), emoji[0] + ", " + emoji[1]);
  EXPECT_EQ(formatAppNames(emoji, 11), emoji[0] + "\u2026");

  // "नमस्ते" is 3 and the conjunct "क्षि" 1: 3 + 2 + 1 = 6.
  const std::vector<std::string> indic{"\u0928\u092E\u0938\u094D\u0924\u0947",
                                       "\u0915\u094D\u0937\u093F"};
  EXPECT_EQ(formatAppNames(indic, 6), indic[0] + ", " + indic[1]);
  EXPECT_EQ(formatAppNames(indic, 5), indic[0] + "\u2026");
}

TEST(FormatAppNames, NameEndingInEllipsisGetsASecondOnlyWhenTwoOrMoreAreLeftOut) {
  EXPECT_EQ(formatAppNames({"Alpha\u2026", "Beta"}, 6), "Alpha\u2026");
  EXPECT_EQ(formatAppNames({"Alpha\u2026", "Beta", "Gamma"}, 6), "Alpha\u2026\u2026");
  // An ellipsis that a mark has joined is a different character.
  EXPECT_EQ(formatAppNames({"Alpha\u2026\u0301", "Beta"}, 6), "Alpha\u2026\u0301\u2026");
  // So is one appended after a prepended mark (U+0600), which it joins: with
  // two names left out the text gets a second ellipsis of its own.
  EXPECT_EQ(formatAppNames({"a\u0600", "b", "c"}, 2), "a\u0600\u2026\u2026");
}

// True when the last character of `text` is the ellipsis on its own: the
// bytes end with it, and it added a character rather than joining the one
// before it.
bool endsWithEllipsisCharacter(const std::string& text) {
  const std::string ellipsis = "\u2026";
  if (text.size() < ellipsis.size() ||
      text.compare(text.size() - ellipsis.size(), ellipsis.size(), ellipsis) != 0) {
    return false;
  }
  const std::string before = text.substr(0, text.size() - ellipsis.size());
  return Foundation::characterCount(text) == Foundation::characterCount(before) + 1;
}

// The incremental count must agree with counting each candidate afresh, for
// names whose edges interact with the separator and with each other.
TEST(FormatAppNames, AgreesWithCountingEachCandidateAfresh) {
  const std::vector<std::string> names{
      "\u0301lead mark", "x\u0600",      "\U0001F1EB", "\U0001F1F7tail",
      "e\u0301\u0301",   "\r",           "\nnext",     "\u200D\U0001F466",
      "\u0915\u094D",    "\u0937\u093F", "plain",      "last"};
  for (std::int64_t maxLength = 0; maxLength <= 80; ++maxLength) {
    std::string text;
    std::size_t included = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string candidate = i == 0 ? names[0] : text + ", " + names[i];
      if (Foundation::characterCount(candidate) > static_cast<std::size_t>(maxLength)) break;
      text = candidate;
      included = i + 1;
    }
    std::string expected = text;
    if (included < names.size()) {
      if (included + 1 < names.size()) expected += "\u2026";
      if (!endsWithEllipsisCharacter(expected)) expected += "\u2026";
    }
    EXPECT_EQ(formatAppNames(names, maxLength), expected) << "maxLength " << maxLength;
  }
}

}  // namespace
}  // namespace tolvane
