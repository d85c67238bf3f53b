#pragma once
// A bounds-checked reader of XM (FastTracker 2 v1.04) modules that finds every Zxx command.
//
// The show takes its events from the Zxx commands (effect number 35) in the module's patterns.
// libopenmpt may play Z as a filter change, so the sound layer zeroes those cells in the copy it
// hands to libopenmpt and fires the events from the table found here.
//
// Pure C++, no SDL or libopenmpt: module tests use it to check what a module will fire.
//
//   const XmScan scan = scan_xm_z(bytes);
//   if (!scan.ok()) report(scan.problem);
//   for (const XmZCell& z : scan.z_cells) ...   // pattern, row, channel ascending
//   play(scan.patched);                          // same size as the file, Z cells zeroed
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace morvane {

inline constexpr std::uint8_t kXmEffectZ = 35;

// One Zxx command in the pattern data. A Z without a parameter byte has parameter 0.
struct XmZCell {
  std::uint16_t pattern = 0;
  std::uint16_t row = 0;
  std::uint16_t channel = 0;
  std::uint8_t parameter = 0;
  friend bool operator==(const XmZCell&, const XmZCell&) = default;
};

enum class XmScanStatus {
  kOk,
  kNotXm,               // no "Extended Module: " signature
  kUnsupportedVersion,  // only version 0x0104 (patterns before instruments) is read
  kTruncated,           // a header or the pattern data runs past the end of the file
  kMalformed,           // impossible field values (no channels, too many patterns, ...)
};

struct XmScan {
  XmScanStatus status = XmScanStatus::kOk;
  std::string problem;  // why the file was rejected; empty when ok

  std::uint16_t version = 0;
  std::uint32_t header_size = 0;
  std::uint16_t song_length = 0;
  std::uint16_t restart_position = 0;
  std::uint16_t channels = 0;
  std::uint16_t instruments = 0;
  std::uint16_t speed = 0;
  std::uint16_t bpm = 0;
  std::vector<std::uint8_t> orders;         // song_length pattern numbers
  std::vector<std::uint16_t> pattern_rows;  // rows of each pattern in the file

  // Every Z cell, sorted by pattern, then row, then channel (the order of the packed data).
  std::vector<XmZCell> z_cells;
  // The file with the effect and parameter bytes of every Z cell set to 0; empty on failure.
  std::vector<std::uint8_t> patched;

  bool ok() const { return status == XmScanStatus::kOk; }
};

// Reads the header, the order table and every packed pattern. Never reads outside `file`.
// A pattern whose packed data ends before its last cell leaves the remaining cells empty, as
// trackers play them; a pattern whose data lies past the end of the file is rejected.
XmScan scan_xm_z(std::span<const std::uint8_t> file);
// The same, patching the file in place: `patched` takes over its bytes instead of a copy.
XmScan scan_xm_z_in_place(std::vector<std::uint8_t>&& file);

// The Z cells of one row, in channel order, from a table sorted as XmScan::z_cells.
std::span<const XmZCell> z_cells_in_row(std::span<const XmZCell> cells, int pattern, int row);

}  // namespace morvane
