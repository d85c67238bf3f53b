#pragma once
// The data file: a RAR 2.x archive whose entries are found by name, extracted (stored or
// RAR 2.0 packed) and handed out as pictures or raw bytes.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

class Archive {
 public:
  // Keeps at most 255 characters of the path.
  explicit Archive(std::string_view path);

  const std::string& path() const { return path_; }

  // One self-contained lookup: scans the file, extracts the named entry (names match without
  // regard to letter case or path separator). nullopt on any failure; never throws.
  std::optional<std::vector<std::uint8_t>> extract(std::string_view name) const;

  // Every file header up to the end of the archive (or the first sub-block); nullopt when the
  // file cannot be opened or is not an archive. Never throws.
  std::optional<ArchiveListing> list() const;

  // Decodes a PCX entry into pixels (pixel count = pixels.size(), at least 1) and, when palette
  // is not empty, its 768 palette bytes. Runs are cut at the pixel count and bytes missing at
  // the end of the entry read as 0. Throws std::runtime_error
  // "Could not load the file '<name>' from <path>" when the lookup fails.
  void load_picture(std::string_view name, std::span<std::uint8_t> pixels,
                    std::span<std::uint8_t> palette = {}) const;

  // The entry's bytes unchanged; throws the same message as load_picture on failure.
  std::vector<std::uint8_t> load_raw_file(std::string_view name) const;

 private:
  std::string path_;
};

}  // namespace morvane
