// morvane-dat list FILE
#include <cstdio>
#include <stdexcept>
#include <string>

#include "archive/archive.h"
#include "tools/morvane_dat/command.h"

namespace morvane::dat {

int run_list(Arguments args) {
  if (args.size() != 1) throw UsageError("expects exactly one FILE");
  const Archive archive(args[0]);
  const auto listing = archive.list();
  if (!listing) throw std::runtime_error("'" + archive.path() + "' cannot be opened or is not a RAR archive");

  std::printf("%s: %s archive, %zu entries\n", archive.path().c_str(), listing->solid ? "solid" : "non-solid",
              listing->entries.size());
  std::printf("%10s %10s %4s %6s %5s  %s\n", "packed", "unpacked", "ver", "method", "solid", "name");
  for (const ArchiveEntry& e : listing->entries) {
    const bool readable = e.version >= 13 && e.version <= 20;
    // snprintf rather than string concatenation, which g++ 12 warns about wrongly (-Wrestrict).
    char method[16];
    if (e.method == 0x30)
      std::snprintf(method, sizeof method, "stored");
    else
      std::snprintf(method, sizeof method, "m%d", e.method - 0x30);
    std::printf("%10u %10u %4u %6s %5s  %s%s\n", e.packed_size, e.unpacked_size, e.version, method,
                e.continues_solid ? "yes" : "no", e.name.c_str(), readable ? "" : "  (version not extracted)");
  }
  if (listing->ends_at_sub_block) std::printf("(a sub-block follows; lookups end there)\n");
  return 0;
}

}  // namespace morvane::dat
