#pragma once
// Every entry of the data file, generated and encoded, in the order the show loads them (a
// solid archive unpacks from its start, so early entries are found sooner).
#include <string_view>
#include <vector>

#include "tools/standin/asset.h"
#include "tools/standin/tds_writer.h"

namespace morvane::standin {

struct GeneratedData {
  std::vector<Entry> entries;
  TdsScene scene;  // the model behind "morvane.3ds", for previews
};

GeneratedData generate_all();

// Entry names in the show's load order.
std::vector<std::string_view> entry_names();

}  // namespace morvane::standin
