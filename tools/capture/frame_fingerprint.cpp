#include "tools/capture/frame_fingerprint.h"

#define XXH_STATIC_LINKING_ONLY  // XXH3_state_t on the stack
#include <xxhash.h>
#if defined(__x86_64__) || defined(__i386__)
#include <xxh_x86dispatch.h>  // XXH3 picks SSE2, AVX2 or AVX-512 at run time
#endif

#include <array>
#include <bit>
#include <cstring>

namespace morvane::capture {
namespace {

constexpr std::size_t kHashBlock = 1024;  // pixels: 4 KiB, well inside the L1 cache

// The pixels as little-endian 0x00RRGGBB words; inlined with a fixed count, the loop is vectorised.
inline void mask_pixels(const Pixel32* __restrict in, Pixel32* __restrict out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const Pixel32 p = in[i] & 0xFFFFFFu;
    if constexpr (std::endian::native == std::endian::little) {
      out[i] = p;
    } else {
      out[i] = (p >> 24) | ((p >> 8) & 0xFF00u) | ((p << 8) & 0xFF0000u) | (p << 24);
    }
  }
}

// True when no pixel has bits in its unused top byte: then, on a little-endian machine, the
// buffer's bytes are already what the fingerprint hashes. Two pixels a word in four independent
// chains: the loop runs at load speed instead of waiting on one OR after another.
bool top_bytes_clear(std::span<const Pixel32> pixels) {
  const auto pair = [](const Pixel32* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
  };
  std::uint64_t a = 0, b = 0, c = 0, d = 0;
  const Pixel32* p = pixels.data();
  const Pixel32* const end = p + pixels.size();
  for (; end - p >= 8; p += 8) {
    a |= pair(p);
    b |= pair(p + 2);
    c |= pair(p + 4);
    d |= pair(p + 6);
  }
  std::uint64_t all = a | b | c | d;
  for (; p != end; ++p) all |= *p;
  constexpr std::uint64_t kTopBytes = 0xFF000000FF000000u;
  return (all & kTopBytes) == 0;
}

}  // namespace

std::uint64_t frame_hash(std::span<const Pixel32> pixels) {
  // Presented buffers normally have clear top bytes: XXH3 (in the widest vector code the processor
  // has) then reads them where they lie.
  if (std::endian::native == std::endian::little && top_bytes_clear(pixels)) {
    return XXH3_64bits(pixels.data(), pixels.size_bytes());
  }
  // Otherwise masked a block at a time into the L1 cache, where XXH3 reads them; the streamed
  // hash of the same bytes is the same.
  XXH3_state_t state;
  XXH3_INITSTATE(&state);
  XXH3_64bits_reset(&state);
  alignas(64) std::array<Pixel32, kHashBlock> block;
  std::size_t at = 0;
  for (; pixels.size() - at >= kHashBlock; at += kHashBlock) {
    mask_pixels(pixels.data() + at, block.data(), kHashBlock);
    XXH3_64bits_update(&state, block.data(), sizeof block);
  }
  const std::size_t rest = pixels.size() - at;
  mask_pixels(pixels.data() + at, block.data(), rest);
  XXH3_64bits_update(&state, block.data(), rest * sizeof(Pixel32));
  return XXH3_64bits_digest(&state);
}

}  // namespace morvane::capture
