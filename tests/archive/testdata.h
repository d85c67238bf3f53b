#pragma once
// The third-party sample files, their manifests (tab-separated, one header row) and the digest
// the manifests record, plus scratch files for archives built in a test.
#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace morvane::test {

using Row = std::map<std::string, std::string>;

inline std::filesystem::path testdata_dir() { return MORVANE_TESTDATA_DIR; }
// Empty when the file is missing, so that callers can skip.
std::vector<Row> read_manifest(const std::filesystem::path& file);
std::vector<std::uint8_t> read_file(const std::filesystem::path& file);
std::string sha256_hex(std::span<const std::uint8_t> data);

// A file under the temporary directory, removed again when this goes.
class TempFile {
 public:
  explicit TempFile(std::span<const std::uint8_t> contents);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace morvane::test
