#pragma once
// One symbol of a block as the encoder stages it before the block's tables are known: its place
// in the transmitted length list (main, distance and repeat-length tables one after the other,
// or one audio table per channel) and the raw extra bits that follow its code.
#include <cstdint>

namespace morvane {

struct CodedSymbol {
  std::uint32_t extra = 0;
  std::uint16_t index = 0;
  std::uint8_t extra_bits = 0;
};

}  // namespace morvane
