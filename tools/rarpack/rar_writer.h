#pragma once
// Writes RAR 2.x archives: marker, main header, one file header per entry (stored or packed
// with the RAR 2.0 method), end-of-archive block; optionally solid, the packer's state then
// running on from one packed entry to the next. The same entries always give the same bytes.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tools/rarpack/rar20_encoder.h"

namespace morvane {

enum class EntryMode {
  automatic,  // packed when that is smaller than the bytes themselves, else stored
  stored,
  packed,     // always packed (an empty entry is still stored: there is nothing to pack)
};

struct EntryReport {
  std::string name;
  std::size_t size = 0;
  std::size_t packed_size = 0;  // bytes of data in the archive
  bool stored = false;
  EncodeReport blocks;
};

class RarWriter {
 public:
  explicit RarWriter(EncoderSettings settings = {});

  void set_solid(bool solid) { solid_ = solid; }

  // Names are stored as given, with "/" written as the format's folder separator "\": 1 to 259
  // bytes, no NUL, relative, unique the way the data file's reader compares them (letter case
  // and "/", "\", "_" alike). Throws std::invalid_argument.
  void add(std::string name, std::vector<std::uint8_t> bytes, EntryMode mode = EntryMode::automatic);

  // Called while packing: entry name, its bytes done, its size.
  void on_progress(std::function<void(const std::string&, std::size_t, std::size_t)> progress) {
    progress_ = std::move(progress);
  }

  std::vector<std::uint8_t> write();
  // Throws std::runtime_error when the file cannot be written.
  void write_file(const std::filesystem::path& path);

  // One record per entry of the last write.
  const std::vector<EntryReport>& report() const { return report_; }

 private:
  struct Entry {
    std::string name;
    std::string stored_name;
    std::vector<std::uint8_t> bytes;
    EntryMode mode;
  };

  EncoderSettings settings_;
  bool solid_ = false;
  std::vector<Entry> entries_;
  std::vector<EntryReport> report_;
  std::function<void(const std::string&, std::size_t, std::size_t)> progress_;
};

}  // namespace morvane
