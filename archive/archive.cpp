#include "archive/archive.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "archive/entry_lookup.h"
#include "archive/pcx_decoder.h"
#include "archive/rar_container.h"

namespace morvane {
namespace {

constexpr std::size_t kMaxPath = 255;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File open_for_reading(const std::string& path) { return File(std::fopen(path.c_str(), "rb")); }

}  // namespace

Archive::Archive(std::string_view path) : path_(path.substr(0, std::min(path.find('\0'), kMaxPath))) {}

std::optional<std::vector<std::uint8_t>> Archive::extract(std::string_view name) const {
  const File file = open_for_reading(path_);
  if (!file) return std::nullopt;
  return lookup_entry(file.get(), name);
}

std::optional<ArchiveListing> Archive::list() const {
  try {
    const File file = open_for_reading(path_);
    if (!file) return std::nullopt;
    RarContainer archive(file.get());
    if (!archive.read_start()) return std::nullopt;
    ArchiveListing listing;
    listing.solid = archive.solid();
    for (auto block = archive.next_block(); block; block = archive.next_block()) {
      if (block->type == kSubBlock) {
        listing.ends_at_sub_block = true;
        break;
      }
      listing.entries.push_back({block->name.substr(0, block->name.find('\0')), block->pack_size, block->unp_size,
                                 block->unp_ver, block->method, block->continues_solid()});
      if (!archive.seek(block->next)) break;
    }
    return listing;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

void Archive::load_picture(std::string_view name, std::span<std::uint8_t> pixels,
                           std::span<std::uint8_t> palette) const {
  const auto entry = extract(name);
  if (!entry) throw std::runtime_error("Could not load the file '" + std::string(name) + "' from " + path_);
  decode_pcx(*entry, pixels, palette);
}

std::vector<std::uint8_t> Archive::load_raw_file(std::string_view name) const {
  auto entry = extract(name);
  if (!entry) throw std::runtime_error("Could not load the file '" + std::string(name) + "' from " + path_);
  return std::move(*entry);
}

}  // namespace morvane
