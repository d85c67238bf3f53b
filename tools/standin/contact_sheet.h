#pragma once
// One picture for review: every generated picture at its own size, through its palette (value
// pictures in grey), captioned with its entry name, plus a few frames of the flight scene.
#include <filesystem>
#include <vector>

#include "tools/standin/asset.h"
#include "tools/standin/canvas.h"
#include "tools/standin/tds_writer.h"

namespace morvane::standin {

RgbImage contact_sheet(const std::vector<Entry>& entries, const TdsScene& scene);

// Throws std::runtime_error when the file cannot be written.
void write_png(const std::filesystem::path& path, const RgbImage& image);

}  // namespace morvane::standin
