#pragma once
// Constants of the RAR 2.0 packed stream that the encoder must agree on with every decoder:
// alphabet sizes, where each table sits in the transmitted length list, and the length and
// distance slots with their extra bits.
#include <array>
#include <cstdint>

namespace morvane::rarpack {

inline constexpr int kMaxCodeLength = 15;

inline constexpr int kMainSymbols = 298;
inline constexpr int kDistanceSymbols = 48;
inline constexpr int kRepeatLengthSymbols = 28;
inline constexpr int kCodeLengthSymbols = 19;
inline constexpr int kAudioSymbols = 257;
inline constexpr int kMaxAudioChannels = 4;

// Offsets of the three LZ tables in one transmitted length list, and its size.
inline constexpr int kDistanceOffset = kMainSymbols;
inline constexpr int kRepeatLengthOffset = kMainSymbols + kDistanceSymbols;
inline constexpr int kLzTableSize = kRepeatLengthOffset + kRepeatLengthSymbols;  // 374
inline constexpr int kMaxTableSize = kAudioSymbols * kMaxAudioChannels;          // 1028

// Main alphabet.
inline constexpr int kRepeatLastMatch = 256;
inline constexpr int kFirstRecentDistance = 257;  // 257..260
inline constexpr int kFirstShortMatch = 261;      // 261..268
inline constexpr int kNewTables = 269;
inline constexpr int kFirstLengthSlot = 270;      // 270..297
inline constexpr int kAudioNewTables = 256;

inline constexpr std::uint32_t kWindowSize = 1u << 20;
// Distances reach the whole window except the byte about to be overwritten.
inline constexpr std::uint32_t kMaxDistance = kWindowSize - 1;
// Length bonuses the decoder adds for far distances.
inline constexpr std::uint32_t kFarDistance = 0x2000;
inline constexpr std::uint32_t kVeryFarDistance = 0x40000;
inline constexpr std::uint32_t kRecentNearDistance = 0x101;

inline constexpr std::array<std::uint8_t, 28> kLengthBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                                             2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
inline constexpr std::array<std::uint8_t, 48> kDistanceBits = {
    0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10,
    11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
inline constexpr std::array<std::uint8_t, 8> kShortDistanceBits = {2, 2, 3, 4, 5, 6, 6, 6};

template <std::size_t N>
constexpr std::array<std::uint32_t, N> slot_bases(const std::array<std::uint8_t, N>& bits) {
  std::array<std::uint32_t, N> base{};
  for (std::size_t i = 0; i + 1 < N; ++i) base[i + 1] = base[i] + (1u << bits[i]);
  return base;
}

inline constexpr auto kLengthBase = slot_bases(kLengthBits);
inline constexpr auto kDistanceBase = slot_bases(kDistanceBits);
inline constexpr auto kShortDistanceBase = slot_bases(kShortDistanceBits);

template <std::size_t N>
constexpr std::array<std::uint8_t, 256> slot_lookup(const std::array<std::uint32_t, N>& base) {
  std::array<std::uint8_t, 256> slot_of{};
  std::size_t slot = 0;
  for (std::uint32_t value = 0; value < 256; ++value) {
    while (slot + 1 < N && base[slot + 1] <= value) ++slot;
    slot_of[value] = static_cast<std::uint8_t>(slot);
  }
  return slot_of;
}

inline constexpr auto kLengthSlotOf = slot_lookup(kLengthBase);
inline constexpr auto kShortDistanceSlotOf = slot_lookup(kShortDistanceBase);

// Slot of a length value 0..255 (coded length minus its minimum).
constexpr int length_slot(std::uint32_t value) { return kLengthSlotOf[value]; }

// Slot of a distance value 0..0xFFFFF (distance minus 1).
constexpr int distance_slot(std::uint32_t value) {
  if (value < 4) return static_cast<int>(value);
  if (value >= 0x20000) return 34 + static_cast<int>((value - 0x20000) >> 16);
  const int log = 31 - __builtin_clz(value);
  return 2 * log + static_cast<int>((value >> (log - 1)) & 1);
}

// Slot of a short-match distance value 0..255.
constexpr int short_distance_slot(std::uint32_t value) { return kShortDistanceSlotOf[value]; }

// Length the decoder adds to a new match at this distance.
constexpr std::uint32_t new_match_bonus(std::uint32_t distance) {
  return (distance >= kFarDistance ? 1u : 0u) + (distance >= kVeryFarDistance ? 1u : 0u);
}

// Length the decoder adds to a match that reuses a recent distance.
constexpr std::uint32_t recent_match_bonus(std::uint32_t distance) {
  return new_match_bonus(distance) + (distance >= kRecentNearDistance ? 1u : 0u);
}

}  // namespace morvane::rarpack
