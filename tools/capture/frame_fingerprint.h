#pragma once
// Fingerprints of presented buffers for the capture's log: XXH3 of the pixels as little-endian
// 0x00RRGGBB words, whatever the unused top byte holds, so frames compare across runs and machines.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane::capture {

std::uint64_t frame_hash(std::span<const Pixel32> pixels);

}  // namespace morvane::capture
