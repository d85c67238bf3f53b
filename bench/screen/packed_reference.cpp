#include "packed_reference.h"

#include <cstdint>
#include <cstring>

#if defined(__MMX__) && defined(__x86_64__)
#include <mmintrin.h>
#endif

namespace morvane::bench {

#if defined(__MMX__) && defined(__x86_64__)

namespace {

__m64 load64(const Pixel32* p) {
  __m64 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void store64(unsigned char* d, __m64 v) { std::memcpy(d, &v, sizeof v); }

}  // namespace

// 64 bytes per step in eight 64-bit moves, the rest byte by byte.
void packed_copy32(const Pixel32* source, void* destination, int n) {
  const auto* s = reinterpret_cast<const unsigned char*>(source);
  auto* d = static_cast<unsigned char*>(destination);
  std::size_t bytes = static_cast<std::size_t>(n) * 4;
  for (; bytes >= 64; bytes -= 64, s += 64, d += 64) {
    std::uint64_t q[8];
    std::memcpy(q, s, 64);
    std::memcpy(d, q, 64);
  }
  for (; bytes > 0; --bytes) *d++ = *s++;
}

// Four pixels' low 24 bits shifted together into 12 bytes per step.
void packed_pack24(const Pixel32* source, void* destination, int n) {
  auto* d = static_cast<unsigned char*>(destination);
  int i = 0;
  for (; i + 4 <= n; i += 4, d += 12) {
    std::uint64_t a, b;
    std::memcpy(&a, source + i, 8);
    std::memcpy(&b, source + i + 2, 8);
    a = (a & 0xFFFFFFull) | ((a >> 8) & 0xFFFFFF000000ull);
    b = (b & 0xFFFFFFull) | ((b >> 8) & 0xFFFFFF000000ull);
    const std::uint64_t lo = a | (b << 48);
    const std::uint32_t hi = static_cast<std::uint32_t>(b >> 16);
    std::memcpy(d, &lo, 8);
    std::memcpy(d + 8, &hi, 4);
  }
  for (; i < n; ++i, d += 3) std::memcpy(d, source + i, 3);
  _mm_empty();
}

// Four pixels per step: green and blue masked, blue shifted up, both down by 5 and packed to
// words; red masked and packed from bytes straight into bits 11-15.
void packed_565(const Pixel32* source, void* destination, int n) {
  auto* d = static_cast<unsigned char*>(destination);
  const __m64 green = _mm_set1_pi32(0xFC00);
  const __m64 blue = _mm_set1_pi32(0xF8);
  const __m64 red = _mm_set1_pi32(0xF80000);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m64 a = load64(source + i);
    const __m64 b = load64(source + i + 2);
    __m64 ga = _mm_or_si64(_mm_and_si64(a, green), _mm_slli_pi32(_mm_and_si64(a, blue), 2));
    __m64 gb = _mm_or_si64(_mm_and_si64(b, green), _mm_slli_pi32(_mm_and_si64(b, blue), 2));
    const __m64 gbw = _mm_packs_pi32(_mm_srli_pi32(ga, 5), _mm_srli_pi32(gb, 5));
    const __m64 r = _mm_packs_pu16(_mm_and_si64(a, red), _mm_and_si64(b, red));
    store64(d + 2 * i, _mm_or_si64(gbw, r));
  }
  for (; i < n; ++i) {
    const Pixel32 p = source[i];
    const std::uint16_t v = static_cast<std::uint16_t>(((p >> 8) & 0xF800) | ((p >> 5) & 0x7E0) | ((p >> 3) & 0x1F));
    std::memcpy(d + 2 * i, &v, 2);
  }
  _mm_empty();
}

// Eight pixels per step: red and blue moved into place by one multiply-add, green merged,
// shifted down by 6 and packed to words.
void packed_555(const Pixel32* source, void* destination, int n) {
  auto* d = static_cast<unsigned char*>(destination);
  const __m64 rb = _mm_set1_pi32(0x00F800F8);
  const __m64 g = _mm_set1_pi32(0xF800);
  const __m64 factors = _mm_set_pi16(0x2000, 8, 0x2000, 8);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m64 v[4];
    for (int k = 0; k < 4; ++k) {
      const __m64 p = load64(source + i + 2 * k);
      v[k] = _mm_srli_pi32(_mm_or_si64(_mm_madd_pi16(_mm_and_si64(p, rb), factors), _mm_and_si64(p, g)), 6);
    }
    store64(d + 2 * i, _mm_packs_pi32(v[0], v[1]));
    store64(d + 2 * i + 8, _mm_packs_pi32(v[2], v[3]));
  }
  for (; i < n; ++i) {
    const Pixel32 p = source[i];
    const std::uint16_t v = static_cast<std::uint16_t>(((p >> 9) & 0x7C00) | ((p >> 6) & 0x3E0) | ((p >> 3) & 0x1F));
    std::memcpy(d + 2 * i, &v, 2);
  }
  _mm_empty();
}

#else

void packed_copy32(const Pixel32*, void*, int) {}
void packed_pack24(const Pixel32*, void*, int) {}
void packed_565(const Pixel32*, void*, int) {}
void packed_555(const Pixel32*, void*, int) {}

#endif

}  // namespace morvane::bench
