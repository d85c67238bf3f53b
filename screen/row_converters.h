#pragma once
// Row converters from Pixel32 (0x00RRGGBB) to the display device's pixel formats.
#include <cstdint>

#include "contracts/pixel.h"

namespace morvane {

// Converts n source pixels into n destination pixels packed without gaps.
using RowConverter = void (*)(const Pixel32* source, void* destination, int n);

void convert_copy32(const Pixel32* source, void* destination, int n);
void convert_swap32(const Pixel32* source, void* destination, int n);
void convert_pack24(const Pixel32* source, void* destination, int n);
void convert_swap24(const Pixel32* source, void* destination, int n);
void convert_565(const Pixel32* source, void* destination, int n);
void convert_565_swapped(const Pixel32* source, void* destination, int n);
void convert_555(const Pixel32* source, void* destination, int n);
void convert_555_swapped(const Pixel32* source, void* destination, int n);

// The converter for a device format, or nullptr when the format is not supported.
RowConverter select_converter(int bits, std::uint32_t red_mask, std::uint32_t green_mask,
                              std::uint32_t blue_mask);

}  // namespace morvane
