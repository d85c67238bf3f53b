#include "main/data_search.h"

#include <stdexcept>
#include <system_error>

namespace morvane {
namespace {

// The data file reader keeps at most this many characters of a path.
constexpr std::size_t kMaxPath = 255;

bool holds_show(const std::filesystem::path& dir) {
  std::error_code failure;
  return std::filesystem::is_regular_file(dir / kDataFile, failure) &&
         std::filesystem::is_regular_file(dir / kModuleFile, failure);
}

ShowFiles files_in(const std::filesystem::path& dir) {
  return {(dir / kDataFile).string(), (dir / kModuleFile).string()};
}

}  // namespace

std::filesystem::path installed_data_dir(const std::filesystem::path& relative) {
  std::error_code failure;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failure);
  if (failure || program.empty()) return {};
  return (program.parent_path() / relative).lexically_normal();
}

ShowFiles find_show_files(const std::optional<std::filesystem::path>& data_dir,
                          const std::filesystem::path& installed) {
  if (data_dir) {
    ShowFiles files = files_in(*data_dir);
    if (files.data.size() > kMaxPath) {
      throw std::invalid_argument("--data: the path " + files.data + " is longer than 255 characters");
    }
    return files;
  }
  if (!holds_show(".") && !installed.empty() && holds_show(installed)) {
    ShowFiles files = files_in(installed);
    if (files.data.size() <= kMaxPath) return files;
  }
  return {};
}

}  // namespace morvane
