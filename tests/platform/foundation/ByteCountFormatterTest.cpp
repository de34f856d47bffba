#include "platform/foundation/ByteCountFormatter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using Foundation::ByteCountFormatter;

// The settings the system uses: binary, KB/MB/GB, unit shown, adaptive.
std::string format(std::int64_t bytes) {
  ByteCountFormatter formatter;
  formatter.countStyle = ByteCountFormatter::CountStyle::binary;
  formatter.allowedUnits = ByteCountFormatter::Units::useKB | ByteCountFormatter::Units::useMB |
                           ByteCountFormatter::Units::useGB;
  formatter.includesUnit = true;
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
      {100, "0 KB"},
      {512, "0 KB"},
      {550, "1 KB"},
      {1000, "1 KB"},
      {1023, "1 KB"},
      {1024, "1 KB"},
      {1025, "1 KB"},
      {1536, "2 KB"},
      {2047, "2 KB"},
      {2560, "2 KB"},  // 2.5 KB
      {3584, "4 KB"},  // 3.5 KB
      {10240, "10 KB"},
      {102400, "100 KB"},
      {1047040, "1,022 KB"},  // 1022.5 KB rounds to even 1022
      {1048064, "1 MB"},      // 1023.5 KB rounds to even 1024
      {1048575, "1 MB"},      // 1023.999 KB
      {1048576, "1 MB"},
      {1310720, "1.2 MB"},  // 1.25 MB
      {1572864, "1.5 MB"},
      {1835008, "1.8 MB"},  // 1.75 MB
      {10485760, "10 MB"},
      {1073689395, "1,023.9 MB"},  // 1023.94999 MB stays in MB
      {1073689396, "1 GB"},        // 1023.95 MB rounds to 1024.0 MB
      {1073741823, "1 GB"},
      {1207959552, "1.12 GB"},  // 1.125 GB
      {1288490189, "1.2 GB"},   // 1.2000000002 GB
      {1342177280, "1.25 GB"},
      {1476395008, "1.38 GB"},  // 1.375 GB
      {1610612736, "1.5 GB"},
      {std::int64_t{1} << 40, "1,024 GB"},
      {std::int64_t{5} << 40, "5,120 GB"},
      {(std::int64_t{1} << 40) + (std::int64_t{1} << 29), "1,024.5 GB"},
      {std::int64_t{1000000} << 30, "1,000,000 GB"},
      {std::numeric_limits<std::int64_t>::max(), "8,589,934,592 GB"},
      {-1, "0 KB"},
      {-512, "0 KB"},
      {-513, "-1 KB"},
      {-2048, "-2 KB"},
      {-1048575, "-1 MB"},
      {-1572864, "-1.5 MB"},
      {-(std::int64_t{1} << 40), "-1,024 GB"},
      {std::numeric_limits<std::int64_t>::min(), "-8,589,934,592 GB"},
  };
  for (const auto& [bytes, text] : rows) EXPECT_EQ(format(bytes), text) << "bytes " << bytes;
}

TEST(ByteCountFormatter, OtherUnitSetsAndTheNumberAlone) {
  ByteCountFormatter formatter;
  formatter.countStyle = ByteCountFormatter::CountStyle::binary;
  formatter.allowedUnits = ByteCountFormatter::Units::useMB;
  EXPECT_EQ(formatter.stringFromByteCount(0), "Zero MB");
  EXPECT_EQ(formatter.stringFromByteCount(std::int64_t{3} << 30), "3,072 MB");
  EXPECT_EQ(formatter.stringFromByteCount(52428), "0 MB");    // 0.04999 MB
  EXPECT_EQ(formatter.stringFromByteCount(52429), "0.1 MB");  // 0.05000 MB

  formatter.allowedUnits = ByteCountFormatter::Units::useKB | ByteCountFormatter::Units::useMB |
                           ByteCountFormatter::Units::useGB;
  formatter.includesUnit = false;
  EXPECT_EQ(formatter.stringFromByteCount(1572864), "1.5");
  EXPECT_EQ(formatter.stringFromByteCount(0), "0");
}

}  // namespace
