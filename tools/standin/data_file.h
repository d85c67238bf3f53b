#pragma once
// Packs the generated entries into the show's data file: one solid RAR 2.x archive.
#include <cstdint>
#include <vector>

#include "tools/standin/asset.h"

namespace morvane::standin {

std::vector<std::uint8_t> pack_data_file(const std::vector<Entry>& entries);

}  // namespace morvane::standin
