#include "tools/standin/data_file.h"

#include "tools/rarpack/rar_writer.h"

namespace morvane::standin {

std::vector<std::uint8_t> pack_data_file(const std::vector<Entry>& entries) {
  RarWriter writer;
  writer.set_solid(true);
  for (const Entry& e : entries) writer.add(e.name, e.bytes);
  return writer.write();
}

}  // namespace morvane::standin
