#pragma once
// The 64-bit packed-integer (MMX-class) conversion scheme, kept only as the yardstick the
// shipped row converters are measured against. x86 only; elsewhere kPackedReference is false.
#include "contracts/pixel.h"

namespace morvane::bench {

#if defined(__MMX__) && defined(__x86_64__)
inline constexpr bool kPackedReference = true;
#else
inline constexpr bool kPackedReference = false;
#endif

void packed_copy32(const Pixel32* source, void* destination, int n);
void packed_pack24(const Pixel32* source, void* destination, int n);
void packed_565(const Pixel32* source, void* destination, int n);
void packed_555(const Pixel32* source, void* destination, int n);

}  // namespace morvane::bench
