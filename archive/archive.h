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

class Archive {
 public:
  // Keeps at most 255 characters of the path.
  explicit Archive(std::string_view path);

  const std::string& path() const { return path_; }

  // One self-contained lookup: scans the file, extracts the named entry (names match without
  // regard to letter case or path separator). nullopt on any failure; never throws.
  std::optional<std::vector<std::uint8_t>> extract(std::string_view name) const;

  // Decodes a PCX entry into pixels (pixel count = pixels.size(), at least 1) and, when palette
  // is not empty, its 768 palette bytes. Throws std::runtime_error
  // "Could not load the file '<name>' from <path>" when the lookup fails.
  void load_picture(std::string_view name, std::span<std::uint8_t> pixels,
                    std::span<std::uint8_t> palette = {}) const;

  // The entry's bytes unchanged; throws the same message as load_picture on failure.
  std::vector<std::uint8_t> load_raw_file(std::string_view name) const;

 private:
  std::string path_;
};

}  // namespace morvane
