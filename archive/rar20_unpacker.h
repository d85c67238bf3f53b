#pragma once
// RAR 2.0 decoder: LZ matches and literals under Huffman tables the stream transmits, or the
// multimedia mode's predicted channels, into a 1 MiB ring window. One object serves one lookup;
// its state carries from entry to entry for solid archives.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/audio_predictor.h"
#include "archive/bit_input.h"
#include "archive/byte_reader.h"
#include "archive/byte_sink.h"
#include "archive/huffman_table.h"
#include "archive/rar20_slots.h"

namespace morvane {

class Rar20Unpacker {
 public:
  static constexpr std::uint32_t kWindowSize = 1u << 20;
  // The smallest window a caller may ask for: room for the longest match and the flush margin,
  // several times over.
  static constexpr std::uint32_t kMinWindowSize = 1u << 12;

  // window_size is the format's 1 MiB for every real use. Fuzzers ask for less (rounded down to
  // a power of two, at least kMinWindowSize) so that each run allocates a small window and wraps
  // it often; matches then reach back less far, but every path through the decoder stays the same.
  explicit Rar20Unpacker(std::uint32_t window_size = kWindowSize);

  // Decodes one entry of unpacked_size bytes (any 32-bit size) from input. continues_solid (file
  // header flag 0x0010) keeps the state the previous entry left; otherwise everything starts
  // afresh. With output, the decoded bytes go to it in chunks of up to a window, never more than
  // unpacked_size in all; without, the entry only builds state for the entries that follow it.
  void unpack(ByteReader& input, std::uint32_t unpacked_size, bool continues_solid, ByteSink* output);
  // The same, appending to a vector.
  void unpack(ByteReader& input, std::uint32_t unpacked_size, bool continues_solid,
              std::vector<std::uint8_t>* output);

  // Back to the state of a new object (the window cleared, every table and length forgotten),
  // without giving the window's memory back.
  void start_over();

  // Bytes written to the window since construction or start_over: the position in the decoded
  // stream, counting what a damaged entry wrote past its end.
  std::uint64_t stream_position() const { return written_; }
  // Sends decoded stream bytes [from, from + count) to output again when the window still holds
  // all of them (written since the last fresh start and not yet overwritten); false otherwise.
  bool replay(std::uint64_t from, std::uint64_t count, ByteSink& output) const;

 private:
  void reset();
  void read_tables(ByteReader& input);
  void run(ByteReader& input);
  bool prepare_step(ByteReader& input, BitInput::Cursor& bits, std::uint32_t& write, std::int64_t& to_go);
  void decode_audio(ByteReader& input);
  void decode_lz(ByteReader& input);
  void copy_match(std::uint8_t* window, std::uint32_t& write, std::uint32_t distance, std::uint32_t length);
  void flush();
  void finish_entry(ByteReader& input);

  std::uint32_t window_size_;
  std::uint32_t window_mask_;
  std::unique_ptr<std::uint8_t[]> window_;
  std::uint32_t write_ = 0;
  std::uint32_t flush_ = 0;
  // Bytes still to produce, less one: 64-bit, so that every 32-bit entry size counts down.
  std::int64_t to_go_ = -1;
  std::uint64_t written_ = 0;       // see stream_position
  std::uint64_t fresh_start_ = 0;   // stream position of the last window clear

  BitInput in_;

  std::array<std::uint32_t, 4> recent_{};
  std::uint32_t recent_counter_ = 0;
  std::uint32_t last_distance_ = 0;
  std::uint32_t last_length_ = 0;

  HuffmanTable main_;
  HuffmanTable distance_;
  HuffmanTable repeat_length_;
  HuffmanTable code_length_;
  std::array<HuffmanTable, rar20::kMaxChannels> audio_;

  std::array<std::uint8_t, rar20::kLengthStoreSize> lengths_{};
  std::array<std::uint8_t, rar20::kLengthStoreSize> previous_lengths_{};

  bool audio_mode_ = false;
  unsigned channels_ = 1;
  unsigned channel_ = 0;
  std::int32_t channel_delta_ = 0;
  std::array<AudioChannel, rar20::kMaxChannels> audio_channels_{};

  // The wanted entry's output, when there is one, and how much of it has been delivered.
  ByteSink* output_ = nullptr;
  std::uint32_t unpacked_size_ = 0;
  std::uint64_t delivered_ = 0;
};

}  // namespace morvane
