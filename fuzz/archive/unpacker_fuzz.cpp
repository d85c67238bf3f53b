// Fuzz target: a raw RAR 2.0 stream. The first four bytes choose the unpacked size; the rest is
// decoded once as a fresh entry and once more as its solid continuation.
#include <cstdint>
#include <span>
#include <vector>

#include "archive/byte_reader.h"
#include "archive/rar20_unpacker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::uint32_t unp_size =
      (std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24) %
      (3u << 20);
  const std::span<const std::uint8_t> stream(data + 4, size - 4);
  morvane::Rar20Unpacker unpacker;
  std::vector<std::uint8_t> out;
  for (bool solid : {false, true}) {
    morvane::MemoryReader reader(stream);
    out.clear();
    unpacker.unpack(reader, unp_size, solid, &out);
    if (out.size() > unp_size) __builtin_trap();
  }
  return 0;
}
