#pragma once
// The block structure of a RAR 2.x file: marker, main header, and the scan over blocks that
// stops at each file header (and at a sub-block, which ends every search).
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace morvane {

inline constexpr std::uint8_t kFileBlock = 0x74;
inline constexpr std::uint8_t kSubBlock = 0x77;
inline constexpr std::uint16_t kLongBlock = 0x8000;      // ADD_SIZE follows HEAD_SIZE
inline constexpr std::uint16_t kSolidArchive = 0x0008;   // main header flag
inline constexpr std::uint16_t kContinuesSolid = 0x0010; // file header flag
inline constexpr std::uint8_t kStoredMethod = 0x30;
inline constexpr std::size_t kMaxEntryNameBytes = 259;

// A block as the scan met it; the file header fields mean something for type 0x74 only.
struct BlockHeader {
  std::uint64_t start = 0;  // file offset of the block
  std::uint64_t next = 0;   // file offset of the block behind it
  std::uint16_t head_crc = 0;
  std::uint8_t type = 0;
  std::uint16_t flags = 0;
  std::uint16_t head_size = 0;
  std::uint32_t pack_size = 0;  // also the ADD_SIZE of any long block
  std::uint32_t unp_size = 0;
  std::uint8_t host_os = 0;
  std::uint32_t file_crc = 0;
  std::uint32_t ftime = 0;
  std::uint8_t unp_ver = 0;
  std::uint8_t method = 0;
  std::uint16_t name_size = 0;
  std::uint32_t attr = 0;
  std::string name;  // the stored bytes, at most 259 of them

  bool is_stored() const { return method == kStoredMethod; }
  bool continues_solid() const { return (flags & kContinuesSolid) != 0; }
  // The data follows the header, whose HEAD_SIZE covers the name and anything a writer put
  // behind it (a file comment); a header too short for its own name locates nothing.
  bool data_located() const { return head_size >= 32u + name_size; }
  std::uint64_t data_start() const { return start + head_size; }
};

class RarContainer {
 public:
  explicit RarContainer(std::FILE* file) : file_(file) {}

  // Reads the marker ("Rar!" 1A 07 00, or "Tovrix!") and the main header and skips what the
  // main header holds beyond its 13 bytes. False when the file starts with neither marker or
  // is cut short.
  bool read_start();
  bool solid() const { return (main_flags_ & kSolidArchive) != 0; }
  std::uint16_t main_flags() const { return main_flags_; }

  // From the current position, the next file header (positioned behind its name) or sub-block
  // (positioned at its start); nothing at the end of the file or at a block whose size makes
  // no progress.
  std::optional<BlockHeader> next_block();

  bool seek(std::uint64_t offset);

 private:
  std::FILE* file_;
  std::uint16_t main_flags_ = 0;
};

}  // namespace morvane
