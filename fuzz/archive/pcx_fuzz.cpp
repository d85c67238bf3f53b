// Fuzz target: a PCX entry decoded into the largest picture the player asks for.
#include <cstdint>
#include <span>
#include <vector>

#include "archive/pcx_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::vector<std::uint8_t> pixels(320000);
  static std::vector<std::uint8_t> palette(768);
  const std::span<const std::uint8_t> entry(data, size);
  const std::size_t count = size > 0 ? 1 + data[0] * 1250u : 1;
  morvane::decode_pcx(entry, std::span(pixels).first(count), palette);
  return 0;
}
