#pragma once
// Reads an entry's packed data from the archive file, never past the entry's PACK_SIZE.
#include <cstdint>
#include <cstdio>

#include "archive/byte_reader.h"

namespace morvane {

class ClippedReader final : public ByteReader {
 public:
  ClippedReader(std::FILE* file, std::uint32_t packed_left) : file_(file), left_(packed_left) {}
  std::size_t read(std::span<std::uint8_t> into) override;
  std::uint32_t packed_left() const { return left_; }

 private:
  std::FILE* file_;
  std::uint32_t left_;
};

}  // namespace morvane
