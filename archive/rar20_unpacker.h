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
#include "archive/huffman_table.h"
#include "archive/rar20_slots.h"

namespace morvane {

class Rar20Unpacker {
 public:
  static constexpr std::uint32_t kWindowSize = 1u << 20;
  // The smallest window a caller may ask for: room for the longest match and the flush margin.
  static constexpr std::uint32_t kMinWindowSize = 1u << 16;

  // window_size is the format's 1 MiB for every real use. Fuzzers ask for less (rounded down to
  // a power of two, at least kMinWindowSize) so that each run clears a small window; matches then
  // reach back less far, but every path through the decoder stays the same.
  explicit Rar20Unpacker(std::uint32_t window_size = kWindowSize);

  // Decodes one entry of unpacked_size bytes from input. continues_solid (file header flag
  // 0x0010) keeps the state the previous entry left; otherwise everything starts afresh. With
  // output, the decoded bytes are appended to it, never more than unpacked_size; without, the
  // entry only builds state for the entries that follow it.
  void unpack(ByteReader& input, std::uint32_t unpacked_size, bool continues_solid,
              std::vector<std::uint8_t>* output);

 private:
  void reset();
  void read_tables(ByteReader& input);
  void run(ByteReader& input);
  bool prepare_step(ByteReader& input, BitInput::Cursor& bits, std::uint32_t& write, std::int32_t& to_go);
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
  std::int32_t to_go_ = -1;

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

  // The wanted entry's output, when there is one.
  std::vector<std::uint8_t>* output_ = nullptr;
  std::uint32_t unpacked_size_ = 0;
};

}  // namespace morvane
