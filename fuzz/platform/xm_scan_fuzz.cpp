// Fuzz target: any bytes as an XM module for the Z command scanner, with the scanner's promises
// checked: a failed scan explains itself and leaves nothing; a good one returns a copy of the
// file's size that differs only where a cell's bytes were zeroed, and cells strictly ascending
// by pattern, row and channel, each inside its pattern's rows and the module's channels, each
// found again by the per-row lookup.
#include <cstdint>
#include <span>
#include <tuple>

#include "platform/xm_z_scanner.h"

namespace {

auto key(const morvane::XmZCell& c) { return std::tuple(c.pattern, c.row, c.channel); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  const std::span<const std::uint8_t> file(data, size);
  const XmScan scan = scan_xm_z(file);
  if (!scan.ok()) {
    if (scan.problem.empty() || !scan.z_cells.empty() || !scan.patched.empty()) __builtin_trap();
    return 0;
  }
  if (!scan.problem.empty() || scan.patched.size() != size) __builtin_trap();
  std::size_t changed = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (scan.patched[i] == data[i]) continue;
    if (scan.patched[i] != 0) __builtin_trap();
    ++changed;
  }
  // Each cell zeroes at most its effect and parameter bytes.
  if (changed > 2 * scan.z_cells.size()) __builtin_trap();

  for (std::size_t i = 0; i < scan.z_cells.size(); ++i) {
    const XmZCell& c = scan.z_cells[i];
    if (i > 0 && !(key(scan.z_cells[i - 1]) < key(c))) __builtin_trap();
    if (c.pattern >= scan.pattern_rows.size() || c.row >= scan.pattern_rows[c.pattern] || c.channel >= scan.channels)
      __builtin_trap();
    bool found = false;
    for (const XmZCell& r : z_cells_in_row(scan.z_cells, c.pattern, c.row)) {
      if (r.pattern != c.pattern || r.row != c.row) __builtin_trap();
      found = found || r == c;
    }
    if (!found) __builtin_trap();
  }
  return 0;
}
