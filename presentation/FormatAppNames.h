#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane {

// The app names joined into one line of at most `maxLength` characters
// (extended grapheme clusters), plus an ellipsis when names were left out:
// - no names: "Downloads";
// - one name: that name, whatever its length;
// - otherwise names are added in list order, each after ", " but the first,
//   while the whole text stays within maxLength (a text exactly maxLength
//   long is accepted); the first name that does not fit ends the walk, and
//   later, shorter names are not tried. With every name included the text is
//   returned as is. When two or more were left out "…" (U+2026) is appended;
//   then, unless the text already ends with the character "…", one is
//   appended. So a last included name ending in "…" gets no second one when
//   exactly one name was left out, and does when more were.
// The ellipsis does not count against maxLength. Each candidate is counted as
// the whole text it is: a name beginning with a combining mark joins the
// space before it, and a text ending in a prepended mark joins the following
// comma. Cost: linear in the total length of the names walked.
std::string formatAppNames(const std::vector<std::string>& names, std::int64_t maxLength);

}  // namespace tolvane
