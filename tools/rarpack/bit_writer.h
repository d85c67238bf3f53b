#pragma once
// Bits packed most significant first, the order in which the RAR 2.0 decoder peeks them.
#include <cstdint>
#include <vector>

namespace morvane {

class BitWriter {
 public:
  // Appends the low `count` bits of `value` (count 0..32), highest first.
  void put(std::uint32_t value, int count) {
    if (count == 0) return;
    acc_ = (acc_ << count) | (value & (count == 32 ? ~0u : (1u << count) - 1));
    pending_ += count;
    while (pending_ >= 8) {
      pending_ -= 8;
      bytes_.push_back(static_cast<std::uint8_t>(acc_ >> pending_));
    }
  }

  std::uint64_t bit_count() const { return bytes_.size() * 8u + static_cast<unsigned>(pending_); }

  // Completes the last byte with zero bits and hands the bytes over; the writer is empty after.
  std::vector<std::uint8_t> finish() {
    if (pending_ > 0) bytes_.push_back(static_cast<std::uint8_t>(acc_ << (8 - pending_)));
    pending_ = 0;
    acc_ = 0;
    std::vector<std::uint8_t> out;
    out.swap(bytes_);
    return out;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t acc_ = 0;  // only the low `pending_` + 32 bits matter
  int pending_ = 0;        // 0..7 between calls
};

}  // namespace morvane
