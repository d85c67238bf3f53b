// The small pieces the packed stream and the headers are made of.
#include <gtest/gtest.h>

#include <string_view>

#include "tools/rarpack/bit_writer.h"
#include "tools/rarpack/crc32.h"
#include "tools/rarpack/rar20_format.h"

namespace morvane {
namespace {

using namespace rarpack;

TEST(BitWriter, PacksMostSignificantBitFirstAndPadsWithZeros) {
  BitWriter w;
  w.put(1, 1);
  w.put(0b01, 2);
  w.put(0x1FF, 9);
  w.put(0, 0);
  w.put(0xDEADBEEF, 32);
  EXPECT_EQ(w.bit_count(), 44u);
  EXPECT_EQ(w.finish(), (std::vector<std::uint8_t>{0xBF, 0xFD, 0xEA, 0xDB, 0xEE, 0xF0}));
  EXPECT_EQ(w.bit_count(), 0u);
}

TEST(Crc32, MatchesTheCheckValueAndContinues) {
  const std::string_view text = "123456789";
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  EXPECT_EQ(crc32(bytes), 0xCBF43926u);
  EXPECT_EQ(crc32(bytes.subspan(5), crc32(bytes.first(5))), 0xCBF43926u);
  EXPECT_EQ(crc32({}), 0u);
}

TEST(SlotTables, EveryValueFallsIntoItsSlot) {
  EXPECT_EQ(kLengthBase[27], 224u);
  EXPECT_EQ(kDistanceBase[36], 262144u);
  EXPECT_EQ(kDistanceBase[47], 983040u);
  EXPECT_EQ(kShortDistanceBase, (std::array<std::uint32_t, 8>{0, 4, 8, 16, 32, 64, 128, 192}));
  for (std::uint32_t v = 0; v < 256; ++v) {
    const int s = length_slot(v);
    ASSERT_TRUE(kLengthBase[s] <= v && v - kLengthBase[s] < (1u << kLengthBits[s])) << v;
  }
  for (std::uint32_t v = 0; v < 256; ++v) {
    const int s = short_distance_slot(v);
    ASSERT_TRUE(kShortDistanceBase[s] <= v && v - kShortDistanceBase[s] < (1u << kShortDistanceBits[s])) << v;
  }
  for (std::uint32_t v = 0; v < kWindowSize; ++v) {
    const int s = distance_slot(v);
    ASSERT_TRUE(s < 48 && kDistanceBase[s] <= v && v - kDistanceBase[s] < (1u << kDistanceBits[s])) << v;
  }
}

}  // namespace
}  // namespace morvane
