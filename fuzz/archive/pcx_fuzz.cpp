// Fuzz target: a PCX entry. Byte 0 chooses the pixel count (up to the largest picture the
// player asks for) and whether a palette is wanted; the whole input is the entry. Guard bytes
// around the output spans must come back untouched.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "archive/pcx_decoder.h"

namespace {

constexpr std::size_t kGuard = 16;
constexpr std::uint8_t kGuardByte = 0xA5;

bool is_guard(std::uint8_t b) { return b == kGuardByte; }

// Guard bytes go on either side of the used part only, so that a small picture costs little.
std::span<std::uint8_t> guarded(std::vector<std::uint8_t>& buffer, std::size_t used) {
  std::fill_n(buffer.begin(), used + 2 * kGuard, kGuardByte);
  return std::span(buffer).subspan(kGuard, used);
}

bool guards_intact(const std::vector<std::uint8_t>& buffer, std::size_t used) {
  const auto after = buffer.begin() + kGuard + used;
  return std::all_of(buffer.begin(), buffer.begin() + kGuard, is_guard) && std::all_of(after, after + kGuard, is_guard);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::vector<std::uint8_t> pixels(320000 + 2 * kGuard);
  static std::vector<std::uint8_t> palette(768 + 2 * kGuard);
  const std::size_t count = size > 0 ? 1 + (data[0] & 0x7F) * 2500u : 1;
  const std::size_t palette_size = size > 0 && (data[0] & 0x80) ? 0 : 768;
  morvane::decode_pcx(std::span(data, size), guarded(pixels, count), guarded(palette, palette_size));
  if (!guards_intact(pixels, count) || !guards_intact(palette, palette_size)) __builtin_trap();
  return 0;
}
