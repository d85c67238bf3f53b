#include "archive/entry_lookup.h"

#include <algorithm>
#include <memory>
#include <exception>

#include "archive/clipped_reader.h"
#include "archive/entry_name.h"
#include "archive/rar20_unpacker.h"
#include "archive/rar_container.h"

namespace morvane {
namespace {

constexpr std::size_t kMaxWantedName = 255;
constexpr std::uint8_t kMinVersion = 13;
constexpr std::uint8_t kMaxVersion = 20;

void copy_stored(ClippedReader& reader, std::uint32_t unp_size, std::vector<std::uint8_t>& out) {
  std::size_t left = std::min(unp_size, reader.packed_left());
  std::uint8_t chunk[65536];
  while (left != 0) {
    const std::size_t got = reader.read(std::span(chunk, std::min(left, sizeof chunk)));
    if (got == 0) break;
    out.insert(out.end(), chunk, chunk + got);
    left -= got;
  }
}

std::optional<std::vector<std::uint8_t>> lookup(std::FILE* file, std::string_view wanted, const LookupOptions& options) {
  wanted = wanted.substr(0, std::min(wanted.find('\0'), kMaxWantedName));
  RarContainer archive(file);
  if (!archive.read_start()) return std::nullopt;

  // The window is only needed once a packed entry has to be decoded.
  std::unique_ptr<Rar20Unpacker> unpacker;
  for (auto block = archive.next_block(); block; block = archive.next_block()) {
    if (block->type == kSubBlock) return std::nullopt;
    const bool is_wanted = entry_names_match(block->name, wanted);
    std::vector<std::uint8_t> output;
    if (is_wanted) output.reserve(std::min<std::size_t>(block->unp_size, options.reserve_limit));

    if (archive.solid() || is_wanted) {
      if (block->unp_ver < kMinVersion || block->unp_ver > kMaxVersion) return std::nullopt;
      if (!block->data_located() || !archive.seek(block->data_start())) return std::nullopt;
      ClippedReader reader(file, block->pack_size);
      if (block->is_stored()) {
        if (is_wanted) copy_stored(reader, block->unp_size, output);
      } else {
        if (!unpacker) unpacker = std::make_unique<Rar20Unpacker>(options.window_size);
        unpacker->unpack(reader, block->unp_size, block->continues_solid(), is_wanted ? &output : nullptr);
      }
    }
    if (is_wanted) return output;
    if (!archive.seek(block->next)) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> lookup_entry(std::FILE* file, std::string_view wanted,
                                                      const LookupOptions& options) noexcept {
  try {
    return lookup(file, wanted, options);
  } catch (const std::exception&) {  // out of memory for the window or the output
    return std::nullopt;
  }
}

}  // namespace morvane
