#include "archive/clipped_reader.h"

#include <algorithm>

namespace morvane {

std::size_t ClippedReader::read(std::span<std::uint8_t> into) {
  const std::size_t wanted = std::min<std::size_t>(into.size(), left_);
  if (wanted == 0) return 0;
  const std::size_t got = std::fread(into.data(), 1, wanted, file_);
  left_ -= static_cast<std::uint32_t>(got);
  return got;
}

}  // namespace morvane
