#pragma once
// Base values and extra-bit counts of the RAR 2.0 length and distance slots. Each base is the
// previous base plus 2^(previous extra bits), starting from 0.
#include <array>
#include <cstdint>

namespace morvane::rar20 {

template <std::size_t N>
constexpr std::array<std::uint32_t, N> slot_bases(const std::array<std::uint8_t, N>& bits) {
  std::array<std::uint32_t, N> bases{};
  for (std::size_t i = 1; i < N; ++i) bases[i] = bases[i - 1] + (std::uint32_t{1} << bits[i - 1]);
  return bases;
}

inline constexpr std::array<std::uint8_t, 28> kLengthBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                                              2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
inline constexpr std::array<std::uint8_t, 48> kDistanceBits = {
    0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10,
    11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
inline constexpr std::array<std::uint8_t, 8> kShortDistanceBits = {2, 2, 3, 4, 5, 6, 6, 6};

inline constexpr auto kLengthBases = slot_bases(kLengthBits);
inline constexpr auto kDistanceBases = slot_bases(kDistanceBits);
inline constexpr auto kShortDistanceBases = slot_bases(kShortDistanceBits);

static_assert(kLengthBases[27] == 224);
static_assert(kDistanceBases[36] == 262144 && kDistanceBases[37] == 327680 && kDistanceBases[47] == 983040);
static_assert(kShortDistanceBases[7] == 192);

// Alphabet sizes and where each table's code lengths sit in one transmission.
inline constexpr unsigned kMainSymbols = 298;
inline constexpr unsigned kDistanceSymbols = 48;
inline constexpr unsigned kRepeatLengthSymbols = 28;
inline constexpr unsigned kCodeLengthSymbols = 19;
inline constexpr unsigned kAudioSymbols = 257;
inline constexpr unsigned kLzTableSize = kMainSymbols + kDistanceSymbols + kRepeatLengthSymbols;  // 374
inline constexpr unsigned kMaxChannels = 4;
inline constexpr unsigned kLengthStoreSize = kAudioSymbols * kMaxChannels;  // 1028

// Main-table symbols with a meaning of their own.
inline constexpr unsigned kRepeatLastMatch = 256;
inline constexpr unsigned kFirstRecentDistance = 257;
inline constexpr unsigned kFirstShortDistance = 261;
inline constexpr unsigned kNewTables = 269;
inline constexpr unsigned kFirstLengthSlot = 270;
inline constexpr unsigned kAudioNewTables = 256;

}  // namespace morvane::rar20
