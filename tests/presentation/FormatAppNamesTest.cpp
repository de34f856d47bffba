#include "presentation/FormatAppNames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/UnicodeText.h"

namespace tolvane {
namespace {

TEST(FormatAppNames, AddsNamesWhileTheyFitAndMarksTheRest) {
  const std::string sixty(60, 'x');
  const std::vector<std::string> abc{"Alpha", "Beta", "Gamma"};
  struct Row {
    std::vector<std::string> names;
    std::int64_t maxLength;
    std::string expected;
  };
  const Row rows[] = {
      {{}, -1, "Downloads"},
      {{sixty}, -1, sixty},  // one name comes back whole whatever the limit
      {{""}, 0, ""},
      {abc, 18, "Alpha, Beta, Gamma"},  // exactly 18: all fit
      {abc, 17, "Alpha, Beta\u2026"},
      {abc, 5, "Alpha\u2026"},  // two left out, one ellipsis
      {abc, 4, "\u2026"},       // the first name does not fit
      {abc, -3, "\u2026"},
      // Stops at the first name that does not fit: B is never tried.
      {{"A long name", "B"}, 3, "\u2026"},
      {{"Alpha", "A much longer name", "B"}, 8, "Alpha\u2026"},
      // The separator depends on position, not on text.
      {{"", "Beta"}, 10, ", Beta"},
      {{"", "Beta", "Gamma"}, 6, ", Beta\u2026"},
      {{"", "B"}, 0, "\u2026"},
      // A name ending in an ellipsis gets a second only when two or more are
      // left out; an ellipsis joined by a mark, or appended after a prepended
      // mark (U+0600) that it joins, is a different character.
      {{"Alpha\u2026", "Beta"}, 6, "Alpha\u2026"},
      {{"Alpha\u2026", "Beta", "Gamma"}, 6, "Alpha\u2026\u2026"},
      {{"Alpha\u2026\u0301", "Beta"}, 6, "Alpha\u2026\u0301\u2026"},
      {{"a\u0600", "b", "c"}, 2, "a\u0600\u2026\u2026"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.names) + " " + std::to_string(row.maxLength));
    EXPECT_EQ(formatAppNames(row.names, row.maxLength), row.expected);
  }
}

// True when the last character of `text` is the ellipsis on its own: the
// bytes end with it, and it added a character rather than joining the one
// before it.
bool endsWithEllipsisCharacter(const std::string& text) {
  const std::string_view ellipsis = "\u2026";
  if (!text.ends_with(ellipsis)) return false;
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
