#include "archive/bit_input.h"

#include <algorithm>
#include <span>

namespace morvane {

void BitInput::first_fill(ByteReader& reader) {
  const std::size_t got = reader.read(std::span(buffer_.data(), kSize));
  // Whatever the entry did not supply reads as zero, never as an older entry's bytes.
  clear_from(got);
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
  clear_from(kKeep + got);
  if (got < kSize - kKeep) exhausted_ = true;
  length_ = got != 0 ? got + kKeep : pos_;
  real_end_ = got != 0 ? kKeep + got : std::min(kept_real, kKeep);
  update_threshold();
}

void BitInput::clear_from(std::size_t end) {
  // Only bytes an earlier fill left there can be nonzero: a short entry, as every fuzz input
  // is, then clears a few bytes instead of the whole buffer.
  if (dirty_end_ > end) std::memset(buffer_.data() + end, 0, dirty_end_ - end);
  dirty_end_ = end;
}

void BitInput::update_threshold() {
  threshold_ = exhausted_ ? std::min(kMainLoopRefill, real_end_ + kDryMargin) : kMainLoopRefill;
}

}  // namespace morvane
