#include "platform/xm_z_scanner.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string_view>
#include <utility>

namespace morvane {
namespace {

constexpr std::string_view kSignature = "Extended Module: ";
constexpr std::uint16_t kVersion104 = 0x0104;
constexpr std::size_t kHeaderSizeOffset = 60;  // the header size counts from here
constexpr std::size_t kFixedHeaderFields = 20;  // header size u32 .. bpm u16, before the orders
constexpr std::size_t kMaxOrders = 256;
constexpr std::size_t kMaxPatterns = 256;
constexpr std::size_t kMaxRows = 256;
constexpr std::size_t kMaxChannels = 256;
constexpr std::size_t kPatternHeaderFields = 9;  // length u32, packing u8, rows u16, size u16

// Little-endian reads from a file whose bounds every caller checked beforehand.
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> file) : file_(file) {}
  std::size_t size() const { return file_.size(); }
  // True when [offset, offset + count) lies inside the file; safe against overflow.
  bool has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= file_.size() && count <= file_.size() - offset;
  }
  std::uint8_t u8(std::size_t at) const { return file_[at]; }
  std::uint16_t u16(std::size_t at) const {
    return static_cast<std::uint16_t>(file_[at] | (file_[at + 1] << 8));
  }
  std::uint32_t u32(std::size_t at) const {
    return static_cast<std::uint32_t>(file_[at]) | (static_cast<std::uint32_t>(file_[at + 1]) << 8) |
           (static_cast<std::uint32_t>(file_[at + 2]) << 16) | (static_cast<std::uint32_t>(file_[at + 3]) << 24);
  }

 private:
  std::span<const std::uint8_t> file_;
};

XmScan fail(XmScanStatus status, std::string problem) {
  XmScan scan;
  scan.status = status;
  scan.problem = std::move(problem);
  return scan;
}

bool has_signature(const Bytes& bytes, std::span<const std::uint8_t> file) {
  if (!bytes.has(0, kSignature.size())) return false;
  // Some trackers write the signature in other letter cases.
  return std::equal(kSignature.begin(), kSignature.end(), file.begin(), [](char want, std::uint8_t got) {
    return std::tolower(static_cast<unsigned char>(want)) == std::tolower(got);
  });
}

// Decodes one pattern's packed cells, recording and zeroing the Z cells in `scan.patched`.
// Data that ends before the last cell leaves the remaining cells empty; a cell cut off by the
// end of the data is not used.
void scan_pattern(XmScan& scan, std::size_t pattern, std::size_t rows, std::size_t data, std::size_t size) {
  const std::span<std::uint8_t> packed(scan.patched.data() + data, size);
  const std::size_t channels = scan.channels;
  std::size_t at = 0;
  for (std::size_t cell = 0; cell < rows * channels && at < packed.size(); ++cell) {
    const std::uint8_t lead = packed[at];
    // A lead byte with bit 7 set says which of note, instrument, volume, effect and parameter
    // follow; any other lead byte is the note itself, with all four other fields following.
    const unsigned mask = (lead & 0x80) != 0 ? lead : 0x1Fu;
    std::size_t field = (lead & 0x80) != 0 ? at + 1 : at;
    std::size_t effect_at = 0;
    std::size_t parameter_at = 0;
    for (unsigned bit = 0; bit < 5; ++bit) {
      if ((mask & (1u << bit)) == 0) continue;
      if (bit == 3) effect_at = field;
      if (bit == 4) parameter_at = field;
      ++field;
    }
    if (field > packed.size()) return;  // cut-off cell
    at = field;
    if ((mask & 0x08) == 0 || packed[effect_at] != kXmEffectZ) continue;
    XmZCell z;
    z.pattern = static_cast<std::uint16_t>(pattern);
    z.row = static_cast<std::uint16_t>(cell / channels);
    z.channel = static_cast<std::uint16_t>(cell % channels);
    z.parameter = (mask & 0x10) != 0 ? packed[parameter_at] : 0;
    scan.z_cells.push_back(z);
    packed[effect_at] = 0;
    if ((mask & 0x10) != 0) packed[parameter_at] = 0;
  }
}

}  // namespace

namespace {

// With `owned` (the bytes `file` views) the patched copy is that vector itself: headers are read
// ahead of the pattern data the scan zeroes, so reading and patching the same bytes agree.
XmScan scan_module(std::span<const std::uint8_t> file, std::vector<std::uint8_t>* owned) {
  const Bytes bytes(file);
  if (!has_signature(bytes, file)) return fail(XmScanStatus::kNotXm, "not an XM module");
  if (!bytes.has(0, kHeaderSizeOffset + kFixedHeaderFields)) {
    return fail(XmScanStatus::kTruncated, "the module header is cut off");
  }

  XmScan scan;
  scan.version = bytes.u16(58);
  if (scan.version != kVersion104) {
    return fail(XmScanStatus::kUnsupportedVersion,
                "XM version " + std::to_string(scan.version >> 8) + "." + std::to_string(scan.version & 0xFF) +
                    " is not supported (only 1.4)");
  }
  scan.header_size = bytes.u32(kHeaderSizeOffset);
  scan.song_length = bytes.u16(64);
  scan.restart_position = bytes.u16(66);
  scan.channels = bytes.u16(68);
  const std::uint16_t patterns = bytes.u16(70);
  scan.instruments = bytes.u16(72);
  scan.speed = bytes.u16(76);
  scan.bpm = bytes.u16(78);

  if (scan.header_size < kFixedHeaderFields) return fail(XmScanStatus::kMalformed, "the header size is too small");
  if (!bytes.has(kHeaderSizeOffset, scan.header_size)) {
    return fail(XmScanStatus::kTruncated, "the module header runs past the end of the file");
  }
  const std::size_t order_bytes = std::min<std::size_t>(scan.header_size - kFixedHeaderFields, kMaxOrders);
  if (scan.song_length > order_bytes) {
    return fail(XmScanStatus::kMalformed, "the song length " + std::to_string(scan.song_length) +
                                              " exceeds the order table of " + std::to_string(order_bytes));
  }
  if (scan.channels == 0 || scan.channels > kMaxChannels) {
    return fail(XmScanStatus::kMalformed, "bad channel count " + std::to_string(scan.channels));
  }
  if (patterns > kMaxPatterns) {
    return fail(XmScanStatus::kMalformed, "bad pattern count " + std::to_string(patterns));
  }
  const std::size_t orders_at = kHeaderSizeOffset + kFixedHeaderFields;
  scan.orders.assign(file.begin() + static_cast<std::ptrdiff_t>(orders_at),
                     file.begin() + static_cast<std::ptrdiff_t>(orders_at + scan.song_length));

  if (owned != nullptr) {
    scan.patched = std::move(*owned);
  } else {
    scan.patched.assign(file.begin(), file.end());
  }
  std::uint64_t at = kHeaderSizeOffset + static_cast<std::uint64_t>(scan.header_size);
  for (std::size_t pattern = 0; pattern < patterns; ++pattern) {
    const std::string which = "pattern " + std::to_string(pattern);
    if (!bytes.has(at, kPatternHeaderFields)) return fail(XmScanStatus::kTruncated, which + ": header cut off");
    const std::size_t header_at = static_cast<std::size_t>(at);
    const std::uint32_t header_length = bytes.u32(header_at);
    const std::size_t rows = bytes.u16(header_at + 5);
    const std::size_t packed_size = bytes.u16(header_at + 7);
    if (header_length < kPatternHeaderFields) {
      return fail(XmScanStatus::kMalformed, which + ": header length " + std::to_string(header_length));
    }
    if (rows == 0 || rows > kMaxRows) return fail(XmScanStatus::kMalformed, which + ": " + std::to_string(rows) + " rows");
    const std::uint64_t data_at = at + header_length;
    if (!bytes.has(data_at, packed_size)) return fail(XmScanStatus::kTruncated, which + ": data past the end of the file");
    scan.pattern_rows.push_back(static_cast<std::uint16_t>(rows));
    scan_pattern(scan, pattern, rows, static_cast<std::size_t>(data_at), packed_size);
    at = data_at + packed_size;
  }
  return scan;
}

}  // namespace

XmScan scan_xm_z(std::span<const std::uint8_t> file) { return scan_module(file, nullptr); }

XmScan scan_xm_z_in_place(std::vector<std::uint8_t>&& file) { return scan_module(file, &file); }

std::span<const XmZCell> z_cells_in_row(std::span<const XmZCell> cells, int pattern, int row) {
  const auto key = [](long p, long r) { return p * 0x10000 + r; };
  const long wanted = key(pattern, row);
  const auto first = std::lower_bound(cells.begin(), cells.end(), wanted,
                                      [&](const XmZCell& c, long k) { return key(c.pattern, c.row) < k; });
  const auto last = std::upper_bound(first, cells.end(), wanted,
                                     [&](long k, const XmZCell& c) { return k < key(c.pattern, c.row); });
  return {first, last};
}

}  // namespace morvane
