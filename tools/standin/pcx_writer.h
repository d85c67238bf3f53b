#pragma once
// Writes 8-bit, one-plane, run-length coded PCX files with the 256-colour palette at the end.
#include <cstdint>
#include <vector>

#include "tools/standin/indexed_image.h"

namespace morvane::standin {

// Throws std::invalid_argument for an empty picture, an odd width (the readers expect rows
// without padding) or sizes beyond the header's 16-bit window.
std::vector<std::uint8_t> encode_pcx(const IndexedImage& image);

}  // namespace morvane::standin
