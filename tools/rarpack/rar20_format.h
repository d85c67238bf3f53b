#pragma once
// Constants of the RAR 2.0 packed stream that the encoder must agree on with every decoder:
// alphabet sizes, where each table sits in the transmitted length list, and the length and
// distance slots with their extra bits.
#include <array>
#include <cstdint>

#include "archive/rar20_slots.h"

namespace morvane::rarpack {

inline constexpr int kMaxCodeLength = 15;

// The alphabets and slot tables are the unpacker's own, so the two sides cannot disagree.
inline constexpr int kMainSymbols = static_cast<int>(rar20::kMainSymbols);
inline constexpr int kDistanceSymbols = static_cast<int>(rar20::kDistanceSymbols);
inline constexpr int kRepeatLengthSymbols = static_cast<int>(rar20::kRepeatLengthSymbols);
inline constexpr int kCodeLengthSymbols = static_cast<int>(rar20::kCodeLengthSymbols);
inline constexpr int kAudioSymbols = static_cast<int>(rar20::kAudioSymbols);
inline constexpr int kMaxAudioChannels = static_cast<int>(rar20::kMaxChannels);

// Offsets of the three LZ tables in one transmitted length list, and its size.
inline constexpr int kDistanceOffset = kMainSymbols;
inline constexpr int kRepeatLengthOffset = kMainSymbols + kDistanceSymbols;
inline constexpr int kLzTableSize = kRepeatLengthOffset + kRepeatLengthSymbols;  // 374
inline constexpr int kMaxTableSize = kAudioSymbols * kMaxAudioChannels;          // 1028

// Main alphabet.
inline constexpr int kRepeatLastMatch = static_cast<int>(rar20::kRepeatLastMatch);
inline constexpr int kFirstRecentDistance = static_cast<int>(rar20::kFirstRecentDistance);  // 257..260
inline constexpr int kFirstShortMatch = static_cast<int>(rar20::kFirstShortDistance);       // 261..268
inline constexpr int kNewTables = static_cast<int>(rar20::kNewTables);
inline constexpr int kFirstLengthSlot = static_cast<int>(rar20::kFirstLengthSlot);  // 270..297
inline constexpr int kAudioNewTables = static_cast<int>(rar20::kAudioNewTables);

inline constexpr std::uint32_t kWindowSize = 1u << 20;
// Distances reach the whole window except the byte about to be overwritten.
inline constexpr std::uint32_t kMaxDistance = kWindowSize - 1;
// Length bonuses the decoder adds for far distances.
inline constexpr std::uint32_t kFarDistance = 0x2000;
inline constexpr std::uint32_t kVeryFarDistance = 0x40000;
inline constexpr std::uint32_t kRecentNearDistance = 0x101;

inline constexpr const auto& kLengthBits = rar20::kLengthBits;
inline constexpr const auto& kDistanceBits = rar20::kDistanceBits;
inline constexpr const auto& kShortDistanceBits = rar20::kShortDistanceBits;
inline constexpr const auto& kLengthBase = rar20::kLengthBases;
inline constexpr const auto& kDistanceBase = rar20::kDistanceBases;
inline constexpr const auto& kShortDistanceBase = rar20::kShortDistanceBases;

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
