// Fuzz target: a whole archive file. Every entry the block scan lists is looked up and its
// bytes decoded as a picture, as the player would.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/entry_lookup.h"
#include "archive/pcx_decoder.h"
#include "archive/rar_container.h"

namespace {

std::FILE* open_memory(const std::uint8_t* data, std::size_t size) {
  // fmemopen wants a non-empty writable-typed buffer even for reading.
  static std::vector<std::uint8_t> copy;
  copy.assign(data, data + size);
  copy.push_back(0);
  return fmemopen(copy.data(), size == 0 ? 1 : size, "rb");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> names;
  if (std::FILE* f = open_memory(data, size)) {
    morvane::RarContainer archive(f);
    if (archive.read_start())
      for (auto block = archive.next_block(); block && block->type == morvane::kFileBlock && names.size() < 8;
           block = archive.next_block()) {
        names.push_back(block->name);
        if (!archive.seek(block->next)) break;
      }
    std::fclose(f);
  }
  names.push_back("not there");
  for (const std::string& name : names) {
    std::FILE* f = open_memory(data, size);
    if (!f) continue;
    const auto bytes = morvane::lookup_entry(f, name);
    std::fclose(f);
    if (!bytes) continue;
    std::vector<std::uint8_t> pixels(1000);
    std::vector<std::uint8_t> palette(768);
    morvane::decode_pcx(*bytes, pixels, palette);
  }
  return 0;
}
