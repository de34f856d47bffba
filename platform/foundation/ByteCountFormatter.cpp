#include "platform/foundation/ByteCountFormatter.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace Foundation {
namespace {

// Magnitudes reach 2^63 and are scaled by up to 100 before dividing, so the
// arithmetic is done in 128 bits; it is exact, unlike doubles, which round
// INT64_MAX and lose ties.
__extension__ typedef unsigned __int128 Wide;

struct Unit {
  ByteCountFormatter::Units bit;
  std::string_view name;
  int power;           // the unit's size is base^power bytes
  int fractionDigits;  // in the adaptive form
};

constexpr std::array<Unit, 3> kUnits{{
    {ByteCountFormatter::Units::useKB, "KB", 1, 0},
    {ByteCountFormatter::Units::useMB, "MB", 2, 1},
    {ByteCountFormatter::Units::useGB, "GB", 3, 2},
}};

Wide unitSize(const Unit& unit, std::uint64_t base) {
  Wide size = 1;
  for (int i = 0; i < unit.power; ++i) size *= base;
  return size;
}

Wide powerOfTen(int digits) {
  Wide value = 1;
  for (int i = 0; i < digits; ++i) value *= 10;
  return value;
}

// magnitude / size rounded half to even to `digits` fraction digits, as an
// integer count of 10^-digits.
Wide roundedScaled(std::uint64_t magnitude, Wide size, int digits) {
  const Wide scaled = Wide{magnitude} * powerOfTen(digits);
  Wide quotient = scaled / size;
  const Wide twiceRemainder = (scaled % size) * 2;
  if (twiceRemainder > size || (twiceRemainder == size && (quotient & 1) != 0)) ++quotient;
  return quotient;
}

void appendGrouped(std::string& out, Wide value) {
  char digits[40];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + static_cast<int>(value % 10));
    value /= 10;
  } while (value != 0);
  for (std::size_t i = count; i > 0; --i) {
    out += digits[i - 1];
    if (i > 1 && (i - 1) % 3 == 0) out += ',';
  }
}

}  // namespace

std::string ByteCountFormatter::stringFromByteCount(std::int64_t byteCount) const {
  const std::uint64_t base =
      (countStyle == CountStyle::binary || countStyle == CountStyle::memory) ? 1024 : 1000;

  // The units in use, smallest first.
  std::array<const Unit*, kUnits.size()> units{};
  std::size_t unitCount = 0;
  for (const Unit& unit : kUnits) {
    if (allowedUnits.contains(unit.bit)) units[unitCount++] = &unit;
  }
  if (unitCount == 0) {
    for (const Unit& unit : kUnits) units[unitCount++] = &unit;
  }

  if (byteCount == 0) {
    return includesUnit ? "Zero " + std::string(units[0]->name) : "0";
  }

  const bool negative = byteCount < 0;
  // The magnitude of INT64_MIN, 2^63, still fits.
  const std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(byteCount) + 1 : static_cast<std::uint64_t>(byteCount);

  // The largest unit whose size the magnitude reaches, else the smallest.
  std::size_t index = 0;
  for (std::size_t i = 0; i < unitCount; ++i) {
    if (Wide{magnitude} >= unitSize(*units[i], base)) index = i;
  }
  Wide scaled =
      roundedScaled(magnitude, unitSize(*units[index], base), units[index]->fractionDigits);
  // Rounding may reach the next unit's size (1023.9999 KB is 1024 KB): show
  // the value in that unit instead.
  while (index + 1 < unitCount) {
    const Wide size = unitSize(*units[index], base);
    const Wide nextSize = unitSize(*units[index + 1], base);
    if (scaled * size < nextSize * powerOfTen(units[index]->fractionDigits)) break;
    ++index;
    scaled = roundedScaled(magnitude, nextSize, units[index]->fractionDigits);
  }

  const Unit& unit = *units[index];
  const Wide one = powerOfTen(unit.fractionDigits);
  std::string text;
  if (negative && scaled != 0) text += '-';
  appendGrouped(text, scaled / one);
  Wide fraction = scaled % one;
  int digits = unit.fractionDigits;
  while (digits > 0 && fraction % 10 == 0) {
    fraction /= 10;
    --digits;
  }
  if (digits > 0) {
    text += '.';
    char buffer[8];
    for (int i = digits - 1; i >= 0; --i) {
      buffer[i] = static_cast<char>('0' + static_cast<int>(fraction % 10));
      fraction /= 10;
    }
    text.append(buffer, static_cast<std::size_t>(digits));
  }
  if (includesUnit) {
    text += ' ';
    text += unit.name;
  }
  return text;
}

}  // namespace Foundation
