#include "archive/rar_container.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace morvane {
namespace {

constexpr std::array<std::uint8_t, 7> kRarMarker = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
constexpr std::array<std::uint8_t, 7> kAltMarker = {'T', 'o', 'v', 'r', 'i', 'x', '!'};
constexpr std::size_t kMainHeaderSize = 13;
constexpr std::size_t kFileHeaderSize = 32;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

bool RarContainer::seek(std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max())) return false;
  return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
}

bool RarContainer::read_start() {
  std::array<std::uint8_t, 7> marker{};
  if (std::fread(marker.data(), 1, marker.size(), file_) != marker.size()) return false;
  if (marker != kRarMarker && marker != kAltMarker) return false;
  std::array<std::uint8_t, kMainHeaderSize> main{};
  if (std::fread(main.data(), 1, main.size(), file_) != main.size()) return false;
  main_flags_ = le16(&main[3]);
  const std::uint16_t head_size = le16(&main[5]);
  // A main header that claims fewer than its own 13 bytes has nothing to skip.
  if (head_size > kMainHeaderSize) return std::fseek(file_, head_size - static_cast<long>(kMainHeaderSize), SEEK_CUR) == 0;
  return true;
}

std::optional<BlockHeader> RarContainer::next_block() {
  for (;;) {
    const long at = std::ftell(file_);
    if (at < 0) return std::nullopt;
    const auto start = static_cast<std::uint64_t>(at);
    // Bytes a short read leaves out count as zero.
    std::array<std::uint8_t, kFileHeaderSize> raw{};
    const std::size_t got = std::fread(raw.data(), 1, raw.size(), file_);
    if (got == 0) {
      seek(start);
      return std::nullopt;
    }
    BlockHeader b;
    b.start = start;
    b.head_crc = le16(&raw[0]);
    b.type = raw[2];
    b.flags = le16(&raw[3]);
    b.head_size = le16(&raw[5]);
    b.pack_size = le32(&raw[7]);
    b.unp_size = le32(&raw[11]);
    b.host_os = raw[15];
    b.file_crc = le32(&raw[16]);
    b.ftime = le32(&raw[20]);
    b.unp_ver = raw[24];
    b.method = raw[25];
    b.name_size = le16(&raw[26]);
    b.attr = le32(&raw[28]);
    if (b.head_size < 7) return std::nullopt;
    // 64-bit offsets: a huge ADD_SIZE points past the end of the file instead of wrapping.
    b.next = start + b.head_size + ((b.flags & kLongBlock) ? b.pack_size : 0);

    if (b.type == kFileBlock) {
      if (got == raw.size()) {
        std::array<char, kMaxEntryNameBytes> name{};
        const std::size_t n = std::fread(name.data(), 1, std::min<std::size_t>(b.name_size, name.size()), file_);
        b.name.assign(name.data(), n);
      }
      return b;
    }
    if (b.type == kSubBlock) {
      seek(start);
      return b;
    }
    if (!seek(b.next)) return std::nullopt;
  }
}

}  // namespace morvane
