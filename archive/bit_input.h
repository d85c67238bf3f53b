#pragma once
// The unpacker's bit input: an 8 KiB buffer of packed bytes read most significant bit first,
// refilled by moving its last 32 bytes to the front and reading behind them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "archive/byte_reader.h"

namespace morvane {

class BitInput {
 public:
  static constexpr std::size_t kSize = 8192;
  static constexpr std::size_t kKeep = 32;  // bytes moved to the front by a refill
  // Refill thresholds: the read position past which the main loop, a table transmission and a
  // code-length symbol refill first. Between two checks at most a dozen bytes are consumed.
  static constexpr std::size_t kMainLoopRefill = 8162;
  static constexpr std::size_t kTablesRefill = 8167;
  static constexpr std::size_t kCodeLengthRefill = 8187;

  // Read position and bit position back to the buffer start (every entry starts there).
  void rewind() {
    pos_ = 0;
    bit_ = 0;
  }
  // Reads up to 8192 bytes into the buffer.
  void first_fill(ByteReader& reader);
  // Keeps the last 32 bytes, reads up to 8160 more behind them.
  void refill(ByteReader& reader);

  // Reading position within the buffer, held apart from the buffer so that the decoding loops
  // can keep it in registers; BitInput::seek hands it back before a refill.
  class Cursor {
   public:
    // The 16 bits at the read position. The buffer is padded so that this never reads outside it.
    std::uint32_t peek() const {
      std::uint32_t word;
      std::memcpy(&word, data_ + pos_, sizeof word);
      return (__builtin_bswap32(word) >> (16 - bit_)) & 0xFFFF;
    }
    void skip(unsigned bits) {
      bit_ += bits;
      pos_ += bit_ >> 3;
      bit_ &= 7;
    }
    // The next n bits (n 0 to 16) as a number.
    std::uint32_t extra(unsigned bits) {
      if (bits == 0) return 0;
      const std::uint32_t v = peek() >> (16 - bits);
      skip(bits);
      return v;
    }
    std::size_t position() const { return pos_; }

   private:
    friend class BitInput;
    Cursor(const std::uint8_t* data, std::size_t pos, unsigned bit) : data_(data), pos_(pos), bit_(bit) {}
    const std::uint8_t* data_;
    std::size_t pos_;
    unsigned bit_;
  };

  Cursor cursor() const { return Cursor(buffer_.data(), pos_, bit_); }
  void seek(const Cursor& c) {
    pos_ = c.pos_;
    bit_ = c.bit_;
  }

  std::uint32_t peek() const { return cursor().peek(); }
  void skip(unsigned bits) {
    Cursor c = cursor();
    c.skip(bits);
    seek(c);
  }
  std::uint32_t extra(unsigned bits) {
    Cursor c = cursor();
    const std::uint32_t v = c.extra(bits);
    seek(c);
    return v;
  }

  std::size_t position() const { return pos_; }
  // Bytes of the buffer counted as input by the end-of-entry check (see refill).
  std::size_t length() const { return length_; }
  // True once the decoder has read well past the last byte the entry really supplied: the
  // stream has run dry and what follows is made up of the zero padding.
  bool ran_dry() const { return pos_ > real_end_ + kDryMargin; }
  // Read position past which the main loop must look at the input: refill or dryness.
  std::size_t main_loop_threshold() const { return threshold_; }

 private:
  // Bits past the end of the data read as zero; a few of them legitimately end a stream whose
  // writer left out trailing zero bytes, so dryness only counts well beyond that.
  static constexpr std::size_t kDryMargin = 32;
  static constexpr std::size_t kPadding = 64;

  // Zeroes the buffer from end on, and records that it holds data below end only.
  void clear_from(std::size_t end);
  void update_threshold();

  std::array<std::uint8_t, kSize + kPadding> buffer_{};
  std::size_t pos_ = 0;
  unsigned bit_ = 0;
  std::size_t length_ = 0;
  std::size_t dirty_end_ = 0;  // every byte from here on is zero
  std::size_t real_end_ = 0;  // buffer bytes [0, real_end_) came from the entry's data
  bool exhausted_ = false;    // the reader returned less than asked
  std::size_t threshold_ = kMainLoopRefill;
};

}  // namespace morvane
