#include "platform/foundation/ByteCountFormatter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using Foundation::ByteCountFormatter;
using Units = ByteCountFormatter::Units;

// Binary counts, the unit shown and adaptive: by default with the system's
// KB, MB and GB.
std::string format(std::int64_t bytes, Units units = Units::useKB | Units::useMB | Units::useGB,
                   bool includesUnit = true) {
  ByteCountFormatter formatter;
  formatter.countStyle = ByteCountFormatter::CountStyle::binary;
  formatter.allowedUnits = units;
  formatter.includesUnit = includesUnit;
  formatter.isAdaptive = true;
  return formatter.stringFromByteCount(bytes);
}

// The documented texts for the system's settings: exact ties go to the even
// neighbour in each unit's last digit, trailing zeros drop, thousands are
// grouped, a value that rounds up to the next unit's size is shown in that
// unit, and negative counts keep their sign but never show minus zero.
TEST(ByteCountFormatter, SystemSettingsTable) {
  const std::pair<std::int64_t, const char*> rows[] = {
      {0, "Zero KB"},
      {1, "0 KB"},
      {512, "0 KB"},  // 0.5 KB rounds to even 0
      {550, "1 KB"},
      {1024, "1 KB"},
      {1536, "2 KB"},         // 1.5 KB
      {2560, "2 KB"},         // 2.5 KB
      {1047040, "1,022 KB"},  // 1022.5 KB rounds to even 1022
      {1048064, "1 MB"},      // 1023.5 KB rounds to even 1024
      {1048576, "1 MB"},
      {1310720, "1.2 MB"},  // 1.25 MB
      {1835008, "1.8 MB"},  // 1.75 MB
      {10485760, "10 MB"},
      {1073689395, "1,023.9 MB"},  // 1023.94999 MB stays in MB
      {1073689396, "1 GB"},        // 1023.95 MB rounds to 1024.0 MB
      {1207959552, "1.12 GB"},     // 1.125 GB
      {1288490189, "1.2 GB"},      // 1.2000000002 GB
      {1476395008, "1.38 GB"},     // 1.375 GB
      {std::int64_t{1} << 40, "1,024 GB"},
      {(std::int64_t{1} << 40) + (std::int64_t{1} << 29), "1,024.5 GB"},
      {std::int64_t{1000000} << 30, "1,000,000 GB"},
      {std::numeric_limits<std::int64_t>::max(), "8,589,934,592 GB"},
      {-512, "0 KB"},
      {-513, "-1 KB"},
      {-1048575, "-1 MB"},
      {-1572864, "-1.5 MB"},
      {std::numeric_limits<std::int64_t>::min(), "-8,589,934,592 GB"},
  };
  for (const auto& [bytes, text] : rows) EXPECT_EQ(format(bytes), text) << "bytes " << bytes;
}

TEST(ByteCountFormatter, OtherUnitSetsAndTheNumberAlone) {
  EXPECT_EQ(format(0, Units::useMB), "Zero MB");
  EXPECT_EQ(format(std::int64_t{3} << 30, Units::useMB), "3,072 MB");
  EXPECT_EQ(format(52428, Units::useMB), "0 MB");    // 0.04999 MB
  EXPECT_EQ(format(52429, Units::useMB), "0.1 MB");  // 0.05000 MB
  EXPECT_EQ(format(1572864, Units::useKB | Units::useMB, false), "1.5");
  EXPECT_EQ(format(0, Units::useKB | Units::useMB, false), "0");
}

}  // namespace
