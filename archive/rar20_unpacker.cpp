#include "archive/rar20_unpacker.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>

namespace morvane {

using namespace rar20;

namespace {

// The longest single step writes 260 bytes; a flush before the write position comes this close
// to the flush position keeps undelivered bytes from being overwritten.
constexpr std::uint32_t kFlushMargin = 270;
// Overlapping matches up to this length are copied byte by byte: cheaper than a few calls.
constexpr std::uint32_t kShortOverlap = 16;

}  // namespace

Rar20Unpacker::Rar20Unpacker(std::uint32_t window_size)
    : window_size_(std::bit_floor(std::clamp(window_size, kMinWindowSize, kWindowSize))),
      window_mask_(window_size_ - 1),
      window_(std::make_unique<std::uint8_t[]>(window_size_)) {}

void Rar20Unpacker::reset() {
  channel_ = 0;
  channel_delta_ = 0;
  audio_channels_ = {};
  recent_ = {};
  recent_counter_ = 0;
  previous_lengths_ = {};
  last_distance_ = 0;
  last_length_ = 0;
  // Only what was written since the last clear: the write position started at 0 then, so a
  // window that has not wrapped since holds nonzero bytes below it alone. The show's first
  // entry and every fuzz input would otherwise clear a whole window that is still clear.
  const std::uint64_t touched = written_ - fresh_start_ + ((write_ - flush_) & window_mask_);
  std::memset(window_.get(), 0, static_cast<std::size_t>(std::min<std::uint64_t>(touched, window_size_)));
  write_ = 0;
  flush_ = 0;
  fresh_start_ = written_;
}

void Rar20Unpacker::start_over() {
  // Everything but the window and the input buffer goes back to the values a new object has;
  // reset() then clears the window and the decoding state proper. Every entry fills the buffer
  // afresh, clearing what an earlier one left.
  in_.rewind();
  main_ = distance_ = repeat_length_ = code_length_ = HuffmanTable();
  audio_.fill(HuffmanTable());
  lengths_ = {};
  audio_mode_ = false;
  channels_ = 1;
  to_go_ = -1;
  reset();
  written_ = 0;
  fresh_start_ = 0;
}

bool Rar20Unpacker::replay(std::uint64_t from, std::uint64_t count, ByteSink& output) const {
  if (from < fresh_start_ || from > written_ || count > written_ - from || written_ - from > window_size_) return false;
  // Window index of a stream position: the write position was 0 at the last fresh start.
  const auto at = static_cast<std::uint32_t>((from - fresh_start_) & window_mask_);
  const std::uint8_t* const window = window_.get();
  const std::size_t first = std::min<std::uint64_t>(count, window_size_ - at);
  if (first != 0) output.write(std::span(window + at, first));
  if (count > first) output.write(std::span(window, static_cast<std::size_t>(count - first)));
  return true;
}

void Rar20Unpacker::unpack(ByteReader& input, std::uint32_t unpacked_size, bool continues_solid, ByteSink* output) {
  output_ = output;
  unpacked_size_ = unpacked_size;
  delivered_ = 0;
  in_.rewind();
  if (!continues_solid) reset();
  in_.first_fill(input);
  if (!continues_solid) read_tables(input);
  to_go_ = std::int64_t{unpacked_size} - 1;
  run(input);
  finish_entry(input);
}

void Rar20Unpacker::unpack(ByteReader& input, std::uint32_t unpacked_size, bool continues_solid,
                           std::vector<std::uint8_t>* output) {
  if (output == nullptr) return unpack(input, unpacked_size, continues_solid, static_cast<ByteSink*>(nullptr));
  VectorSink sink(*output);
  unpack(input, unpacked_size, continues_solid, &sink);
}

void Rar20Unpacker::read_tables(ByteReader& input) {
  if (in_.position() > BitInput::kTablesRefill) in_.refill(input);
  const std::uint32_t h = in_.peek();
  audio_mode_ = (h & 0x8000) != 0;
  if (!(h & 0x4000)) previous_lengths_ = {};
  in_.skip(2);

  unsigned table_size = kLzTableSize;
  if (audio_mode_) {
    channels_ = ((h >> 12) & 3) + 1;
    if (channel_ >= channels_) channel_ = 0;
    in_.skip(2);
    table_size = kAudioSymbols * channels_;
  }

  std::array<std::uint8_t, kCodeLengthSymbols> code_lengths{};
  for (auto& len : code_lengths) {
    len = static_cast<std::uint8_t>(in_.peek() >> 12);
    in_.skip(4);
  }
  code_length_.build(code_lengths);

  unsigned i = 0;
  while (i < table_size) {
    if (in_.position() > BitInput::kCodeLengthRefill) in_.refill(input);
    const unsigned symbol = code_length_.decode(in_);
    if (symbol < 16) {
      lengths_[i] = static_cast<std::uint8_t>((symbol + previous_lengths_[i]) & 15);
      ++i;
      continue;
    }
    unsigned n;
    std::uint8_t value = 0;
    if (symbol == 16) {
      n = (in_.peek() >> 14) + 3;
      in_.skip(2);
      // At the first position there is nothing to repeat: repeat a zero length.
      value = i > 0 ? lengths_[i - 1] : 0;
    } else if (symbol == 17) {
      n = (in_.peek() >> 13) + 3;
      in_.skip(3);
    } else {
      n = (in_.peek() >> 9) + 11;
      in_.skip(7);
    }
    const unsigned end = std::min(i + n, table_size);
    std::fill(lengths_.begin() + i, lengths_.begin() + end, value);
    i = end;
  }

  const std::span<const std::uint8_t> lengths(lengths_);
  if (audio_mode_) {
    for (unsigned c = 0; c < channels_; ++c) audio_[c].build(lengths.subspan(kAudioSymbols * c, kAudioSymbols));
  } else {
    main_.build(lengths.first(kMainSymbols));
    distance_.build(lengths.subspan(kMainSymbols, kDistanceSymbols));
    repeat_length_.build(lengths.subspan(kMainSymbols + kDistanceSymbols, kRepeatLengthSymbols));
  }
  // The whole store carries over: places a smaller table did not write keep the lengths an
  // earlier, larger one left there, for a later relative transmission to add to.
  previous_lengths_ = lengths_;
}

void Rar20Unpacker::run(ByteReader& input) {
  while (to_go_ >= 0) {
    if (audio_mode_)
      decode_audio(input);
    else
      decode_lz(input);
  }
}

// The steps at the top of every iteration in both modes: refill the input, flush before the
// write position catches up with undelivered bytes. False when the stream has run dry.
inline bool Rar20Unpacker::prepare_step(ByteReader& input, BitInput::Cursor& bits, std::uint32_t& write,
                                        std::int64_t& to_go) {
  write &= window_mask_;
  if (bits.position() > in_.main_loop_threshold()) {
    in_.seek(bits);
    if (in_.ran_dry()) return false;
    if (in_.position() > BitInput::kMainLoopRefill) in_.refill(input);
    bits = in_.cursor();
  }
  if (((flush_ - write) & window_mask_) < kFlushMargin && flush_ != write) {
    write_ = write;
    to_go_ = to_go;
    flush();
    to_go = to_go_;
  }
  return true;
}

void Rar20Unpacker::decode_audio(ByteReader& input) {
  std::uint8_t* const window = window_.get();
  const std::uint32_t mask = window_mask_;
  std::uint32_t write = write_;
  std::int64_t to_go = to_go_;
  BitInput::Cursor bits = in_.cursor();
  // Locals rather than members: every store into the window may alias a member, which would
  // have them all reloaded for each byte.
  unsigned channel = channel_;
  const unsigned channels = channels_;
  std::int32_t channel_delta = channel_delta_;
  while (to_go >= 0) {
    if (!prepare_step(input, bits, write, to_go)) {
      to_go = -1;
      break;
    }
    // prepare_step would do nothing before this many steps (one byte and at most 15 bits each):
    // the read position stays at or below the refill threshold and the write position clear of
    // the flush margin.
    const std::size_t threshold = in_.main_loop_threshold();
    const std::size_t input_steps = (threshold - std::min(bits.position(), threshold)) / 2 + 1;
    const std::uint32_t ahead = flush_ == write ? window_size_ : (flush_ - write) & mask;
    const std::size_t room_steps = ahead > kFlushMargin ? ahead - kFlushMargin : 1;
    std::size_t steps = std::min<std::size_t>({input_steps, room_steps, static_cast<std::size_t>(std::min<std::int64_t>(to_go, kWindowSize)) + 1});
    bool new_tables = false;
    for (; steps != 0; --steps) {
      const unsigned symbol = audio_[channel].decode(bits);
      if (symbol == kAudioNewTables) {
        new_tables = true;
        break;
      }
      window[write] = predict_audio_byte(audio_channels_[channel], channel_delta, symbol);
      write = (write + 1) & mask;
      if (++channel == channels) channel = 0;
      --to_go;
    }
    if (new_tables) {
      in_.seek(bits);
      channel_ = channel;
      read_tables(input);
      channel = channel_;
      bits = in_.cursor();
      if (!audio_mode_) break;
      if (channels_ != channels) break;  // the loop starts again with the new channel count
    }
  }
  in_.seek(bits);
  write_ = write;
  to_go_ = to_go;
  channel_ = channel;
  channel_delta_ = channel_delta;
}

void Rar20Unpacker::decode_lz(ByteReader& input) {
  std::uint8_t* const window = window_.get();
  const std::uint32_t mask = window_mask_;
  std::uint32_t write = write_;
  std::int64_t to_go = to_go_;
  BitInput::Cursor bits = in_.cursor();
  while (to_go >= 0) {
    if (!prepare_step(input, bits, write, to_go)) {
      to_go = -1;
      break;
    }
    const unsigned symbol = main_.decode(bits);
    if (symbol < 256) {
      window[write] = static_cast<std::uint8_t>(symbol);
      write = (write + 1) & mask;
      --to_go;
      continue;
    }
    std::uint32_t distance;
    std::uint32_t length;
    if (symbol >= kFirstLengthSlot) {
      const unsigned slot = symbol - kFirstLengthSlot;
      length = kLengthBases[slot] + 3 + bits.extra(kLengthBits[slot]);
      const unsigned d = distance_.decode(bits);
      distance = kDistanceBases[d] + 1 + bits.extra(kDistanceBits[d]);
      if (distance >= 0x40000) ++length;
      if (distance >= 0x2000) ++length;
    } else if (symbol == kNewTables) {
      in_.seek(bits);
      read_tables(input);
      bits = in_.cursor();
      if (audio_mode_) break;
      continue;
    } else if (symbol == kRepeatLastMatch) {
      length = last_length_;
      distance = last_distance_;
    } else if (symbol < kFirstShortDistance) {
      distance = recent_[(recent_counter_ - (symbol - kRepeatLastMatch)) & 3];
      const unsigned slot = repeat_length_.decode(bits);
      length = kLengthBases[slot] + 2 + bits.extra(kLengthBits[slot]);
      if (distance >= 0x40000) ++length;
      if (distance >= 0x2000) ++length;
      if (distance >= 0x101) ++length;
    } else {
      const unsigned slot = symbol - kFirstShortDistance;
      distance = kShortDistanceBases[slot] + 1 + bits.extra(kShortDistanceBits[slot]);
      length = 2;
    }

    recent_[recent_counter_++ & 3] = distance;
    if (symbol != kRepeatLastMatch) {
      last_distance_ = distance;
      last_length_ = length;
    }
    to_go -= length;
    copy_match(window, write, distance, length);
  }
  in_.seek(bits);
  write_ = write;
  to_go_ = to_go;
}

// Byte by byte in effect, so that a distance below the length repeats the pattern.
inline void Rar20Unpacker::copy_match(std::uint8_t* window, std::uint32_t& write, std::uint32_t distance,
                                      std::uint32_t length) {
  const std::uint32_t mask = window_mask_;
  const std::uint32_t from = (write - distance) & mask;
  if (write + length <= window_size_ && from + length <= window_size_) {
    std::uint8_t* dst = window + write;
    const std::uint8_t* src = window + from;
    const std::uint32_t period = (write - from) & mask;
    if (period >= length) {
      std::memmove(dst, src, length);  // no overlap, or the source lies ahead
    } else if (length <= kShortOverlap) {
      for (std::uint32_t k = 0; k < length; ++k) dst[k] = src[k];
    } else if (period != 0) {
      // The bytes repeat with this period: after the first period every copy can take all
      // written so far, as it starts at a multiple of the period. Byte by byte, each byte
      // would wait for the store of the one a period before it.
      std::memcpy(dst, src, period);
      for (std::uint32_t done = period; done < length;) {
        const std::uint32_t n = std::min(done, length - done);
        std::memcpy(dst + done, dst, n);
        done += n;
      }
    }  // period 0: each byte is copied onto itself
    write += length;
  } else {
    for (std::uint32_t k = 0; k < length; ++k) {
      window[write] = window[(write - distance) & mask];
      write = (write + 1) & mask;
    }
  }
}

void Rar20Unpacker::flush() {
  // Bytes written since the last flush: less than a window, as the margin check flushes in time.
  const std::size_t first = flush_ <= write_ ? write_ - flush_ : window_size_ - flush_;
  const std::size_t second = flush_ <= write_ ? 0 : write_;
  written_ += first + second;
  if (output_ != nullptr) {
    const std::uint8_t* const window = window_.get();
    const std::uint64_t room = unpacked_size_ - std::min<std::uint64_t>(delivered_, unpacked_size_);
    // The chunk is cut at the entry's size rather than dropped: only a damaged stream runs a
    // match past the end, and everything before that point is good.
    std::size_t take_first = first;
    std::size_t take_second = second;
    if (first + second > room) {
      to_go_ = -1;
      take_first = static_cast<std::size_t>(std::min<std::uint64_t>(first, room));
      take_second = static_cast<std::size_t>(std::min<std::uint64_t>(second, room - take_first));
    }
    if (take_first != 0) output_->write(std::span(window + flush_, take_first));
    if (take_second != 0) output_->write(std::span(window, take_second));
    delivered_ += take_first + take_second;
  }
  flush_ = write_;
}

void Rar20Unpacker::finish_entry(ByteReader& input) {
  // Tables sent right at the end belong to the next entry of a solid stream.
  if (in_.length() >= in_.position() + 5) {
    if (audio_mode_) {
      if (audio_[channel_].decode(in_) == kAudioNewTables) read_tables(input);
    } else {
      if (main_.decode(in_) == kNewTables) read_tables(input);
    }
  }
  flush();
  output_ = nullptr;
}

}  // namespace morvane
