#include "archive/archive.h"

#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>

#include "archive/entry_name.h"
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

struct Archive::Session {
  Session(File f, const LookupOptions& options) : file(std::move(f)), lookup(file.get(), options) {}
  File file;
  EntryLookup lookup;
};

Archive::Archive(std::string_view path, const LookupOptions& options)
    : path_(path.substr(0, std::min(path.find('\0'), kMaxPath))), options_(options) {}
Archive::~Archive() = default;
Archive::Archive(Archive&&) noexcept = default;
Archive& Archive::operator=(Archive&&) noexcept = default;

template <typename Run>
std::optional<LookupResult> Archive::with_session(Run&& run) const {
  if (!session_) {
    // Opened again after every failure to open, as each lookup used to open the file itself.
    File file = open_for_reading(path_);
    if (!file) return std::nullopt;
    auto session = std::make_unique<Session>(std::move(file), options_);
    if (!session->lookup.open()) return std::nullopt;
    session_ = std::move(session);
  }
  EntryLookup& lookup = session_->lookup;
  const std::uint64_t before = lookup.decoded_bytes();
  LookupResult result;
  try {
    result = run(lookup);
  } catch (const std::bad_alloc&) {  // no memory for the window or the output: the lookup fails
    result = {};
    decoded_bytes_ += lookup.decoded_bytes() - before;
    session_.reset();
    return result;
  } catch (...) {
    decoded_bytes_ += lookup.decoded_bytes() - before;
    session_.reset();
    throw;
  }
  decoded_bytes_ += lookup.decoded_bytes() - before;
  if (lookup.spent()) session_.reset();
  return result;
}

void Archive::fail(std::string_view name, const LookupResult& result) const {
  std::string message = "Could not load the file '" + std::string(name) + "' from " + path_;
  if (result.status == LookupStatus::too_large) {
    const std::string size = std::to_string(result.refused_size) + " bytes, more than the " +
                             std::to_string(options_.max_load_size) + " a load takes";
    if (entry_names_match(result.refused_name, name))
      message += ": the entry holds " + size;
    else
      message += ": the solid chain decodes '" + result.refused_name + "' of " + size + " before it";
  }
  throw std::runtime_error(message);
}

std::optional<std::vector<std::uint8_t>> Archive::extract(std::string_view name) const {
  try {
    std::vector<std::uint8_t> bytes;
    const auto result = with_session([&](EntryLookup& lookup) { return lookup.load(name, bytes); });
    if (!result || result->status != LookupStatus::found) return std::nullopt;
    return bytes;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

void Archive::extract_to(std::string_view name, ByteSink& sink) const {
  const auto result = with_session([&](EntryLookup& lookup) { return lookup.extract(name, sink); });
  if (!result) fail(name, {});
  if (result->status != LookupStatus::found) fail(name, *result);
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
  decode_pcx(load_raw_file(name), pixels, palette);
}

std::vector<std::uint8_t> Archive::load_raw_file(std::string_view name) const {
  std::vector<std::uint8_t> bytes;
  std::optional<LookupResult> result;
  try {
    result = with_session([&](EntryLookup& lookup) { return lookup.load(name, bytes); });
  } catch (const std::exception&) {
    result = LookupResult{};
  }
  if (!result) fail(name, {});
  if (result->status != LookupStatus::found) fail(name, *result);
  return bytes;
}

}  // namespace morvane
