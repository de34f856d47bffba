#pragma once

#include <cstdint>
#include <string>

namespace Foundation {

// Turns a byte count into text such as "1.5 MB", with the platform's property
// names. Set the properties, then call stringFromByteCount:
//
//   Foundation::ByteCountFormatter formatter;
//   formatter.countStyle = Foundation::ByteCountFormatter::CountStyle::binary;
//   formatter.allowedUnits = Foundation::ByteCountFormatter::Units::useKB |
//                            Foundation::ByteCountFormatter::Units::useMB |
//                            Foundation::ByteCountFormatter::Units::useGB;
//   formatter.includesUnit = true;
//   formatter.isAdaptive = true;
//   formatter.stringFromByteCount(1572864);  // "1.5 MB"
//
// A plain value: no shared state, no locale lookup, no allocation but the
// returned text. Safe to use from any thread; one formatter must not be
// changed while another thread formats with it.
class ByteCountFormatter {
 public:
  // How big a unit is. binary and memory count in multiples of 1024, file
  // and decimal in multiples of 1000; unit names are "KB", "MB", "GB" in
  // every style.
  enum class CountStyle : std::int32_t { file = 0, memory = 1, decimal = 2, binary = 3 };

  // A set of units, by the platform's bit values.
  struct Units {
    std::uint32_t rawValue = 0;

    static const Units useDefault;  // no bits: every supported unit
    static const Units useBytes;
    static const Units useKB;
    static const Units useMB;
    static const Units useGB;
    static const Units useTB;
    static const Units usePB;
    static const Units useEB;
    static const Units useZB;
    static const Units useYBOrHigher;
    static const Units useAll;

    constexpr bool contains(Units other) const {
      return (rawValue & other.rawValue) == other.rawValue;
    }
    friend constexpr Units operator|(Units a, Units b) { return Units{a.rawValue | b.rawValue}; }
    friend constexpr bool operator==(Units, Units) = default;
  };

  CountStyle countStyle = CountStyle::file;
  Units allowedUnits = Units{0};
  // When false the text is the number alone ("1.5", "0").
  bool includesUnit = true;
  // Fraction digits by unit: KB none, MB up to one, GB up to two, trailing
  // zeros dropped. The non-adaptive form is not supported: false formats as
  // true does.
  bool isAdaptive = true;

  // The text for `byteCount`:
  // - 0 is the word form "Zero KB" (the smallest unit in use).
  // - The unit is the largest one in use whose size the magnitude reaches,
  //   else the smallest one; the value is rounded half to even in that
  //   unit's fraction digits ("2 KB" for both 1536 and 2560). A value that
  //   rounds up to the next unit in use is shown in it: 1048575 is "1 MB".
  //   Counts below the smallest unit show as rounded fractions of it
  //   ("0 KB" for 512, "1 KB" for 550).
  // - The integer part is grouped in threes with "," and the fraction
  //   follows "." ("1,024 GB"); the number and unit are one space apart.
  // - A negative count is formatted by its magnitude and keeps its sign
  //   ("-1.5 MB"); one that rounds to zero is "0 KB", never "-0 KB".
  // - Arithmetic is exact over the whole int64 range: INT64_MAX is
  //   "8,589,934,592 GB" in the binary style.
  // Units in use: KB, MB and GB as allowedUnits selects them; an empty set,
  // or one naming none of the three, uses all three. Bytes and units above
  // GB are not supported and are ignored where set.
  std::string stringFromByteCount(std::int64_t byteCount) const;
};

inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useDefault{0};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useBytes{1u << 0};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useKB{1u << 1};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useMB{1u << 2};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useGB{1u << 3};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useTB{1u << 4};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::usePB{1u << 5};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useEB{1u << 6};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useZB{1u << 7};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useYBOrHigher{0x0FFu << 8};
inline constexpr ByteCountFormatter::Units ByteCountFormatter::Units::useAll{0x0FFFFu};

}  // namespace Foundation
