#pragma once
// One entry of the data file as the generators produce it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/standin/indexed_image.h"

namespace morvane::standin {

struct Picture {
  std::string name;
  IndexedImage image;
  // Pictures the show reads as plain values (masks, light maps) give their largest value, for
  // previews shown in grey; 0 for pictures shown through their palette.
  int value_max = 0;
};

struct Entry {
  std::string name;
  std::vector<std::uint8_t> bytes;  // the file as stored in the archive
  std::optional<Picture> picture;   // set for PCX entries
};

}  // namespace morvane::standin
