// Placeholder until the container and unpacker land: every lookup fails.
#include "archive/archive.h"

#include <stdexcept>

namespace morvane {

Archive::Archive(std::string_view path) : path_(path.substr(0, 255)) {}

std::optional<std::vector<std::uint8_t>> Archive::extract(std::string_view) const { return std::nullopt; }

void Archive::load_picture(std::string_view name, std::span<std::uint8_t>, std::span<std::uint8_t>) const {
  throw std::runtime_error("Could not load the file '" + std::string(name) + "' from " + path_);
}

std::vector<std::uint8_t> Archive::load_raw_file(std::string_view name) const {
  throw std::runtime_error("Could not load the file '" + std::string(name) + "' from " + path_);
}

}  // namespace morvane
