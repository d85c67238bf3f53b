#pragma once
// Where the unpacker takes its packed bytes from: the archive file through the clipped reader,
// or a memory buffer in tests, benchmarks and fuzzing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace morvane {

class ByteReader {
 public:
  virtual ~ByteReader() = default;
  // Reads up to into.size() bytes; returns how many arrived (0 once the data is used up).
  virtual std::size_t read(std::span<std::uint8_t> into) = 0;
};

class MemoryReader final : public ByteReader {
 public:
  explicit MemoryReader(std::span<const std::uint8_t> data) : data_(data) {}
  std::size_t read(std::span<std::uint8_t> into) override {
    const std::size_t n = std::min(into.size(), data_.size());
    if (n != 0) std::memcpy(into.data(), data_.data(), n);
    data_ = data_.subspan(n);
    return n;
  }

 private:
  std::span<const std::uint8_t> data_;
};

}  // namespace morvane
