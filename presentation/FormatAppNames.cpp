#include "presentation/FormatAppNames.h"

#include <cstddef>
#include <string_view>

#include "platform/foundation/UnicodeText.h"

namespace tolvane {
namespace {

constexpr std::string_view kSeparator = ", ";
constexpr std::string_view kEllipsis = "\u2026";

}  // namespace

std::string formatAppNames(const std::vector<std::string>& names, std::int64_t maxLength) {
  if (names.empty()) return "Downloads";
  if (names.size() == 1) return names.front();

  // Appending text never moves a cluster boundary before the old last
  // cluster, so a candidate's count is the current count less one plus the
  // clusters of (last cluster + ", " + name). The last cluster of a candidate
  // starts at or after the separator's space, so it is never longer than the
  // space plus the name, and the whole walk is linear.
  std::string text;
  std::string lastCluster;
  std::size_t count = 0;
  std::size_t included = 0;
  std::string piece;
  for (std::size_t i = 0; i < names.size(); ++i) {
    piece.assign(lastCluster);
    if (i > 0) piece.append(kSeparator);
    piece.append(names[i]);
    const Foundation::CharacterScan clusters = Foundation::scanCharacters(piece);
    const std::size_t candidateCount = text.empty() ? clusters.count : count - 1 + clusters.count;
    if (maxLength < 0 || candidateCount > static_cast<std::uint64_t>(maxLength)) break;
    if (i > 0) text.append(kSeparator);
    text.append(names[i]);
    count = candidateCount;
    lastCluster.assign(piece, clusters.lastCharacterStart);
    included = i + 1;
  }

  if (included == names.size()) return text;
  if (included + 1 < names.size()) {
    text.append(kEllipsis);
    piece.assign(lastCluster);
    piece.append(kEllipsis);
    lastCluster.assign(piece, Foundation::scanCharacters(piece).lastCharacterStart);
  }
  // "Ends with the ellipsis" is by character: an ellipsis that a mark after
  // it or a prepended mark before it has made part of a larger character
  // does not count.
  if (!Foundation::canonicallyEquivalent(lastCluster, kEllipsis)) text.append(kEllipsis);
  return text;
}

}  // namespace tolvane
