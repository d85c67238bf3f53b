#include "archive/pcx_decoder.h"

#include <algorithm>
#include <cstring>

namespace morvane {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 768;
// A run byte counts at most 63; a store of this size is a few vector writes instead of a call.
constexpr std::size_t kLongestStore = 64;

}  // namespace

void decode_pcx(std::span<const std::uint8_t> entry, std::span<std::uint8_t> pixels,
                std::span<std::uint8_t> palette) {
  const std::size_t end = entry.size();
  std::size_t in = std::min(kHeaderSize, end);
  std::size_t out = 0;
  const std::size_t count = pixels.size();
  std::uint8_t* const dst = pixels.data();
  const std::uint8_t* const src = entry.data();

  while (out < count && in < end) {
    const std::uint8_t b = src[in++];
    if (b < 0xC0) {
      dst[out++] = b;
      continue;
    }
    // A run whose value byte lies beyond the entry repeats 0.
    const std::uint8_t value = in < end ? src[in] : 0;
    ++in;
    const std::size_t run = b & 0x3F;
    if (count - out >= kLongestStore) {
      // Bytes stored past the run are written again by what follows (at the latest by the
      // zero fill below), so the picture comes out the same.
      std::memset(dst + out, value, kLongestStore);
      out += run;
      continue;
    }
    const std::size_t n = std::min(run, count - out);
    std::memset(dst + out, value, n);
    out += n;
  }
  // The entry ended early: the missing bytes are literal zeros.
  std::fill(dst + out, dst + count, std::uint8_t{0});

  ++in;  // the palette marker, not checked
  if (palette.empty()) return;
  const std::size_t wanted = std::min(palette.size(), kPaletteSize);
  const std::size_t available = in < end ? std::min(end - in, wanted) : 0;
  if (available != 0) std::memcpy(palette.data(), src + in, available);
  std::fill(palette.begin() + static_cast<std::ptrdiff_t>(available),
            palette.begin() + static_cast<std::ptrdiff_t>(wanted), std::uint8_t{0});
}

}  // namespace morvane
