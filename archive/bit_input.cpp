#include "archive/bit_input.h"

#include <algorithm>
#include <span>

namespace morvane {

void BitInput::first_fill(ByteReader& reader) {
  const std::size_t got = reader.read(std::span(buffer_.data(), kSize));
  // Whatever the entry did not supply reads as zero, never as an older entry's bytes.
  std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(got), buffer_.end(), std::uint8_t{0});
  length_ = got;
  real_end_ = got;
  exhausted_ = got < kSize;
  pos_ = 0;
  update_threshold();
}

void BitInput::refill(ByteReader& reader) {
  std::memmove(buffer_.data(), buffer_.data() + (kSize - kKeep), kKeep);
  pos_ %= kKeep;
  const std::size_t kept_real = real_end_ > kSize - kKeep ? real_end_ - (kSize - kKeep) : 0;
  const std::size_t got = exhausted_ ? 0 : reader.read(std::span(buffer_.data() + kKeep, kSize - kKeep));
  std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(kKeep + got), buffer_.end(), std::uint8_t{0});
  if (got < kSize - kKeep) exhausted_ = true;
  length_ = got != 0 ? got + kKeep : pos_;
  real_end_ = got != 0 ? kKeep + got : std::min(kept_real, kKeep);
  update_threshold();
}

void BitInput::update_threshold() {
  threshold_ = exhausted_ ? std::min(kMainLoopRefill, real_end_ + kDryMargin) : kMainLoopRefill;
}

}  // namespace morvane
