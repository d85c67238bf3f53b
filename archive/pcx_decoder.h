#pragma once
// Decodes a PCX picture as the demo stores them: a 128-byte header that is not examined,
// run-length coded 8-bit indices, one marker byte, then a 768-byte palette.
#include <cstdint>
#include <span>

namespace morvane {

// Fills all of pixels (the caller decides the pixel count) and, when palette is not empty, its
// first 768 bytes at most. A run that would pass the pixel count is cut there; bytes missing at
// the end of the entry read as 0. Nothing outside the three spans is touched.
void decode_pcx(std::span<const std::uint8_t> entry, std::span<std::uint8_t> pixels,
                std::span<std::uint8_t> palette);

}  // namespace morvane
