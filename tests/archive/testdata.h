#pragma once
// The third-party sample files and their manifests (tab-separated, one header row).
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace morvane::test {

inline std::filesystem::path testdata_dir() { return MORVANE_TESTDATA_DIR; }

// Rows of a MANIFEST.tsv as column name -> value; empty when the file is missing.
std::vector<std::map<std::string, std::string>> read_manifest(const std::filesystem::path& file);
std::vector<std::uint8_t> read_file(const std::filesystem::path& file);
// Manifest names write non-ASCII bytes as \xNN; this turns them back into bytes.
std::string unescape_name(const std::string& name);

}  // namespace morvane::test
