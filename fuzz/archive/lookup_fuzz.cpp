// Fuzz target: a whole archive file. The block scan lists it as a listing would; then one
// lookup object loads the entries in order, as the player does (a solid chain continues where
// the previous load stopped), loads the first one again (delivered from the window when it
// still holds it) and extracts the last to a sink without a size limit. Each load's bytes are
// decoded as a picture.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/byte_sink.h"
#include "archive/entry_lookup.h"
#include "archive/pcx_decoder.h"
#include "archive/rar20_unpacker.h"
#include "archive/rar_container.h"

namespace {

constexpr std::size_t kMaxLookups = 8;
// A small window and reservation: fresh large blocks under the address sanitizer cost far more
// than the decoding itself.
constexpr morvane::LookupOptions kCheap{morvane::Rar20Unpacker::kMinWindowSize, 4096};

struct Listed {
  std::string name;
  std::uint32_t unp_size;
};

struct Closer {
  std::FILE* file;
  ~Closer() {
    if (file) std::fclose(file);
  }
};

std::FILE* open_memory(const std::uint8_t* data, std::size_t size) {
  // Read-only use: fmemopen wants a non-const buffer but "rb" never writes to it.
  return fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
}

class CountingSink final : public morvane::ByteSink {
 public:
  void write(std::span<const std::uint8_t> chunk) override { count += chunk.size(); }
  std::uint64_t count = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  std::vector<Listed> listed;
  {
    const Closer f{open_memory(data, size)};
    if (!f.file) return 0;
    RarContainer archive(f.file);
    if (!archive.read_start()) return 0;
    for (auto block = archive.next_block(); block && block->type == kFileBlock; block = archive.next_block()) {
      listed.push_back({block->name.substr(0, block->name.find('\0')), block->unp_size});
      if (!archive.seek(block->next)) break;
    }
  }
  // An entry never yields more than its UNP_SIZE; a same-named earlier entry may be found
  // first, so the largest listed size is the bound.
  std::uint32_t largest = 0;
  for (const Listed& entry : listed) largest = std::max(largest, entry.unp_size);
  if (listed.size() > kMaxLookups) listed.resize(kMaxLookups);
  if (listed.empty()) listed.push_back({"not there", 0});
  listed.push_back(listed.front());

  const Closer f{open_memory(data, size)};
  if (!f.file) return 0;
  EntryLookup lookup(f.file, kCheap);
  if (!lookup.open()) return 0;
  // Buffers kept from run to run: fresh blocks cost more under the address sanitizer than
  // decoding a small entry. A load appends, so each starts from an empty vector.
  static std::vector<std::uint8_t> bytes;
  static std::vector<std::uint8_t> pixels(1000);
  static std::vector<std::uint8_t> palette(768);
  for (const Listed& entry : listed) {
    bytes.clear();
    if (lookup.load(entry.name, bytes).status != LookupStatus::found) continue;
    if (bytes.size() > largest) __builtin_trap();
    decode_pcx(bytes, pixels, palette);
  }
  CountingSink sink;
  if (lookup.extract(listed[listed.size() - 2].name, sink).status == LookupStatus::found && sink.count > largest)
    __builtin_trap();
  return 0;
}
