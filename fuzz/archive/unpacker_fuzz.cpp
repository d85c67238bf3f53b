// Fuzz target: raw RAR 2.0 packed data, LZ or multimedia, as two entries of a solid chain.
// Bytes 0-3: the unpacked size of each entry, any 32-bit value. Byte 4: bit 7 set decodes the
// first entry without output (as a lookup does for the entries before the wanted one); the low
// seven bits choose where the data splits between the entries (0: the whole data twice).
#include <cstdint>
#include <span>
#include <vector>

#include "archive/byte_reader.h"
#include "archive/rar20_unpacker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  if (size < 5) return 0;
  const std::uint32_t unp_size = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                                 std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24;
  const bool first_without_output = (data[4] & 0x80) != 0;
  const unsigned split = data[4] & 0x7F;
  const std::span<const std::uint8_t> stream(data + 5, size - 5);
  const std::size_t cut = stream.size() * split / 128;
  const std::span<const std::uint8_t> first = split == 0 ? stream : stream.first(cut);
  const std::span<const std::uint8_t> second = split == 0 ? stream : stream.subspan(cut);

  Rar20Unpacker unpacker(Rar20Unpacker::kMinWindowSize);
  // Kept from run to run: a fresh buffer costs more under the address sanitizer than the run.
  static std::vector<std::uint8_t> out;
  out.clear();
  MemoryReader first_reader(first);
  unpacker.unpack(first_reader, unp_size, false, first_without_output ? nullptr : &out);
  if (out.size() > unp_size) __builtin_trap();
  out.clear();
  MemoryReader second_reader(second);
  unpacker.unpack(second_reader, unp_size, true, &out);
  if (out.size() > unp_size) __builtin_trap();
  return 0;
}
