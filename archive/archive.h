#pragma once
// The data file: a RAR 2.x archive whose entries are found by name, extracted (stored or
// RAR 2.0 packed) and handed out as pictures or raw bytes.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/byte_sink.h"
#include "archive/entry_lookup.h"

namespace morvane {

// One file header of the archive, as a listing shows it.
struct ArchiveEntry {
  std::string name;  // the stored name up to its first NUL
  std::uint32_t packed_size = 0;
  std::uint32_t unpacked_size = 0;
  std::uint8_t version = 0;        // version needed to extract (13 to 20 are extracted)
  std::uint8_t method = 0;         // 0x30 stored, anything else RAR 2.0 packed
  bool continues_solid = false;    // file header flag 0x0010
};

struct ArchiveListing {
  bool solid = false;              // main header flag 0x0008
  std::vector<ArchiveEntry> entries;
  // A sub-block ends every lookup; entries behind it are not listed.
  bool ends_at_sub_block = false;
};

// Lookups keep the file open and the decoder where the last one stopped, so that the show's
// loads, which come in the order of the file, decode each byte of a solid chain once; the
// results are those of a lookup that scans and decodes from the start. Once the last entry of
// the chain has been decoded, the file and the window are let go. One lookup at a time.
class Archive {
 public:
  // Keeps at most 255 characters of the path.
  explicit Archive(std::string_view path, const LookupOptions& options = {});
  ~Archive();
  Archive(Archive&&) noexcept;
  Archive& operator=(Archive&&) noexcept;

  const std::string& path() const { return path_; }

  // Extracts the named entry (names match without regard to letter case or path separator).
  // nullopt on any failure, or when the entry is larger than a load takes; never throws.
  std::optional<std::vector<std::uint8_t>> extract(std::string_view name) const;

  // Writes the named entry to sink as it is decoded, in constant memory whatever its size.
  // Throws std::runtime_error as load_raw_file does, or what the sink throws.
  void extract_to(std::string_view name, ByteSink& sink) const;

  // Every file header up to the end of the archive (or the first sub-block); nullopt when the
  // file cannot be opened or is not an archive. Never throws.
  std::optional<ArchiveListing> list() const;

  // Decodes a PCX entry into pixels (pixel count = pixels.size(), at least 1) and, when palette
  // is not empty, its 768 palette bytes. Runs are cut at the pixel count and bytes missing at
  // the end of the entry read as 0. Throws std::runtime_error
  // "Could not load the file '<name>' from <path>" when the lookup fails.
  void load_picture(std::string_view name, std::span<std::uint8_t> pixels,
                    std::span<std::uint8_t> palette = {}) const;

  // The entry's bytes unchanged; throws the same message as load_picture on failure, with the
  // reason added when an entry is larger than a load takes (LookupOptions::max_load_size).
  std::vector<std::uint8_t> load_raw_file(std::string_view name) const;

  // Bytes decoded so far by this object's lookups (each byte of a chain once, in the show).
  std::uint64_t decoded_bytes() const { return decoded_bytes_; }

 private:
  struct Session;
  // A lookup through the session (opened when there is none); nullopt when the file cannot be
  // opened or is not an archive. Lets the session go when it is spent or broken.
  template <typename Run>
  std::optional<LookupResult> with_session(Run&& run) const;
  [[noreturn]] void fail(std::string_view name, const LookupResult& result) const;

  std::string path_;
  LookupOptions options_;
  mutable std::unique_ptr<Session> session_;
  mutable std::uint64_t decoded_bytes_ = 0;
};

}  // namespace morvane
