#pragma once
// Where the player reads its data: the directory given with --data; else the first of the
// working directory and the installed data directory that holds both files; else the working
// directory (whose missing file the error message then names, as always).
#include <filesystem>
#include <optional>

#include "core/driver.h"

namespace morvane {

// The installed data directory: `relative` (e.g. "../share/morvane") from the directory of the
// running program. Empty when the program's own path cannot be found.
std::filesystem::path installed_data_dir(const std::filesystem::path& relative);

// The files to read. Throws std::invalid_argument when a --data path is longer than the data
// file reader keeps (255 characters).
ShowFiles find_show_files(const std::optional<std::filesystem::path>& data_dir, const std::filesystem::path& installed);

}  // namespace morvane
