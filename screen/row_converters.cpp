#include "screen/row_converters.h"

#include <bit>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvane {
namespace {

// The word tricks below lay bytes out by shifting whole words; on a big-endian machine the
// plain per-pixel paths are used instead.
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

constexpr std::uint32_t swap_red_blue(Pixel32 p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// The same on two pixels at once.
constexpr std::uint64_t swap_red_blue(std::uint64_t q) {
  return ((q & 0x000000FF000000FFull) << 16) | (q & 0x0000FF000000FF00ull) | ((q >> 16) & 0x000000FF000000FFull);
}

enum class Layout16 { k565, k565Swapped, k555, k555Swapped };

// Each component truncated to its top bits and moved into place.
template <Layout16 L>
constexpr std::uint16_t to_16(Pixel32 p) {
  std::uint32_t v;
  if constexpr (L == Layout16::k565) v = ((p >> 8) & 0xF800u) | ((p >> 5) & 0x07E0u) | ((p >> 3) & 0x001Fu);
  if constexpr (L == Layout16::k565Swapped) v = ((p << 8) & 0xF800u) | ((p >> 5) & 0x07E0u) | ((p >> 19) & 0x001Fu);
  if constexpr (L == Layout16::k555) v = ((p >> 9) & 0x7C00u) | ((p >> 6) & 0x03E0u) | ((p >> 3) & 0x001Fu);
  if constexpr (L == Layout16::k555Swapped) v = ((p << 7) & 0x7C00u) | ((p >> 6) & 0x03E0u) | ((p >> 19) & 0x001Fu);
  return static_cast<std::uint16_t>(v);
}

#if defined(__SSE2__)
// Four pixels in 32-bit lanes, each lane holding its 16-bit result in the low half.
template <Layout16 L>
__m128i to_16_lanes(__m128i p) {
  const __m128i low5 = _mm_set1_epi32(0x1F);
  if constexpr (L == Layout16::k565 || L == Layout16::k565Swapped) {
    const __m128i green = _mm_and_si128(_mm_srli_epi32(p, 5), _mm_set1_epi32(0x07E0));
    const __m128i high = _mm_set1_epi32(0xF800);
    const __m128i red = L == Layout16::k565 ? _mm_and_si128(_mm_srli_epi32(p, 8), high)
                                            : _mm_and_si128(_mm_srli_epi32(p, 19), low5);
    const __m128i blue = L == Layout16::k565 ? _mm_and_si128(_mm_srli_epi32(p, 3), low5)
                                             : _mm_and_si128(_mm_slli_epi32(p, 8), high);
    return _mm_or_si128(_mm_or_si128(red, green), blue);
  } else {
    const __m128i green = _mm_and_si128(_mm_srli_epi32(p, 6), _mm_set1_epi32(0x03E0));
    const __m128i high = _mm_set1_epi32(0x7C00);
    const __m128i red = L == Layout16::k555 ? _mm_and_si128(_mm_srli_epi32(p, 9), high)
                                            : _mm_and_si128(_mm_srli_epi32(p, 19), low5);
    const __m128i blue = L == Layout16::k555 ? _mm_and_si128(_mm_srli_epi32(p, 3), low5)
                                             : _mm_and_si128(_mm_slli_epi32(p, 7), high);
    return _mm_or_si128(_mm_or_si128(red, green), blue);
  }
}

// Packs two sets of lanes to eight words. The pack saturates signed values, so 5-6-5 results
// (up to 0xFFFF) are sign-extended first to come through bit for bit; 5-5-5 fits as it is.
template <Layout16 L>
__m128i pack_lanes(__m128i a, __m128i b) {
  if constexpr (L == Layout16::k565 || L == Layout16::k565Swapped) {
    a = _mm_srai_epi32(_mm_slli_epi32(a, 16), 16);
    b = _mm_srai_epi32(_mm_slli_epi32(b, 16), 16);
  }
  return _mm_packs_epi32(a, b);
}
#endif

// One 16-bit pixel per source pixel, eight per step where SSE2 is there, then one at a time.
// Stores go through memcpy (or unaligned vector stores) because a device row need not be
// aligned for the pixel type; the bytes are the machine's own 16-bit order, as the device expects.
template <Layout16 L>
void convert_16(const Pixel32* source, void* destination, int n) {
  auto* out = static_cast<unsigned char*>(destination);
  int i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= n; i += 8) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i + 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * static_cast<std::size_t>(i)),
                     pack_lanes<L>(to_16_lanes<L>(a), to_16_lanes<L>(b)));
  }
#endif
  for (; i < n; ++i) {
    const std::uint16_t p = to_16<L>(source[i]);
    std::memcpy(out + 2 * static_cast<std::size_t>(i), &p, sizeof p);
  }
}

// Two pixels as one 64-bit word, red and blue exchanged when Swap, squeezed to their low three
// bytes each: 48 bits.
template <bool Swap>
std::uint64_t squeeze_pair(const Pixel32* source) {
  std::uint64_t q;
  std::memcpy(&q, source, sizeof q);
  if constexpr (Swap) q = swap_red_blue(q);
  return (q & 0xFFFFFFull) | ((q >> 8) & 0xFFFFFF000000ull);
}

// Each word goes straight to the device row: collecting the words in a local array first
// makes the compiler re-read them with a wider load that misses store forwarding.
void store_word(unsigned char* destination, std::uint64_t word) { std::memcpy(destination, &word, sizeof word); }

// Three bytes per pixel: the source's first three (blue, green, red), or red, green, blue when
// Swap. Eight pixels per step are squeezed and shifted together into three 64-bit words.
template <bool Swap>
void convert_24(const Pixel32* source, void* destination, int n) {
  auto* out = static_cast<unsigned char*>(destination);
  int i = 0;
  if constexpr (kLittleEndian) {
    for (; i + 8 <= n; i += 8) {
      const std::uint64_t a = squeeze_pair<Swap>(source + i);
      const std::uint64_t b = squeeze_pair<Swap>(source + i + 2);
      const std::uint64_t c = squeeze_pair<Swap>(source + i + 4);
      const std::uint64_t d = squeeze_pair<Swap>(source + i + 6);
      unsigned char* o = out + 3 * static_cast<std::size_t>(i);
      store_word(o, a | (b << 48));
      store_word(o + 8, (b >> 16) | (c << 32));
      store_word(o + 16, (c >> 32) | (d << 16));
    }
  }
  for (; i < n; ++i) {
    const Pixel32 p = Swap ? swap_red_blue(source[i]) : source[i];
    unsigned char* d = out + 3 * static_cast<std::size_t>(i);
    d[0] = static_cast<unsigned char>(p);
    d[1] = static_cast<unsigned char>(p >> 8);
    d[2] = static_cast<unsigned char>(p >> 16);
  }
}

}  // namespace

void convert_copy32(const Pixel32* source, void* destination, int n) {
  if (n <= 0) return;
  std::memcpy(destination, source, static_cast<std::size_t>(n) * sizeof(Pixel32));
}

void convert_swap32(const Pixel32* source, void* destination, int n) {
  auto* out = static_cast<unsigned char*>(destination);
  int i = 0;
#if defined(__SSE2__)
  const __m128i middle = _mm_set1_epi32(0xFF00);
  const __m128i low = _mm_set1_epi32(0xFF);
  for (; i + 4 <= n; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    const __m128i q = _mm_or_si128(_mm_or_si128(_mm_slli_epi32(_mm_and_si128(p, low), 16), _mm_and_si128(p, middle)),
                                   _mm_and_si128(_mm_srli_epi32(p, 16), low));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * static_cast<std::size_t>(i)), q);
  }
#endif
  for (; i < n; ++i) {
    const std::uint32_t p = swap_red_blue(source[i]);
    std::memcpy(out + 4 * static_cast<std::size_t>(i), &p, sizeof p);
  }
}

void convert_pack24(const Pixel32* source, void* destination, int n) {
  convert_24<false>(source, destination, n);
}

void convert_swap24(const Pixel32* source, void* destination, int n) {
  convert_24<true>(source, destination, n);
}

void convert_565(const Pixel32* source, void* destination, int n) {
  convert_16<Layout16::k565>(source, destination, n);
}

void convert_565_swapped(const Pixel32* source, void* destination, int n) {
  convert_16<Layout16::k565Swapped>(source, destination, n);
}

void convert_555(const Pixel32* source, void* destination, int n) {
  convert_16<Layout16::k555>(source, destination, n);
}

void convert_555_swapped(const Pixel32* source, void* destination, int n) {
  convert_16<Layout16::k555Swapped>(source, destination, n);
}

RowConverter select_converter(int bits, std::uint32_t red_mask, std::uint32_t green_mask,
                              std::uint32_t blue_mask) {
  struct Entry {
    int bits;
    std::uint32_t red, green, blue;
    RowConverter converter;
  };
  static constexpr Entry kTable[] = {
      {32, 0xFF0000, 0xFF00, 0xFF, convert_copy32},
      {32, 0xFF, 0xFF00, 0xFF0000, convert_swap32},
      {24, 0xFF0000, 0xFF00, 0xFF, convert_pack24},
      {24, 0xFF, 0xFF00, 0xFF0000, convert_swap24},
      {16, 0xF800, 0x7E0, 0x1F, convert_565},
      {16, 0x1F, 0x7E0, 0xF800, convert_565_swapped},
      {16, 0x7C00, 0x3E0, 0x1F, convert_555},
      {16, 0x1F, 0x3E0, 0x7C00, convert_555_swapped},
  };
  for (const Entry& e : kTable) {
    if (e.bits == bits && e.red == red_mask && e.green == green_mask && e.blue == blue_mask) {
      return e.converter;
    }
  }
  return nullptr;
}

}  // namespace morvane
