#pragma once
// The RAR 2.0 packer for one entry's bytes (or one entry of a solid stream): cuts the input
// into segments, codes each as LZ or as multimedia with 1..4 channels (whichever is smallest),
// joins neighbouring segments into blocks that share Huffman tables when that pays, and writes
// the bit stream with its table transmissions. Keeps the decoder's whole state across entries.
// A solid entry either goes on with the tables the previous one left or starts with the
// new-tables symbol coded in them; every stream ends within a few bytes of its last symbol, so
// the decoder's end-of-entry look for new tables never finds one.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "tools/rarpack/audio_encoder.h"
#include "tools/rarpack/lz_parser.h"
#include "tools/rarpack/match_finder.h"
#include "tools/rarpack/rar20_format.h"

namespace morvane {

struct EncoderSettings {
  std::size_t segment_size = 8 * 1024;   // granularity of the LZ / multimedia decision
  int max_chain = 48;                    // hash-chain positions tried per match search
  std::function<void(std::size_t bytes)> on_progress;  // bytes of the entry done so far
};

struct EncodeReport {
  std::size_t lz_blocks = 0;
  std::array<std::size_t, 4> audio_blocks{};  // by channel count - 1
  std::size_t table_transmissions = 0;
  bool kept_tables = false;  // the entry went on with the previous entry's tables
  // Main-table symbols written, by kind.
  std::size_t literals = 0, new_matches = 0, recent_matches = 0, last_match_repeats = 0, short_matches = 0;
  std::size_t table_switches = 0;  // symbols 269 (LZ) and 256 (multimedia)
};

class Rar20Encoder {
 public:
  // `stream_capacity`: about how many bytes the stream will hold (sizes the match finder).
  Rar20Encoder(EncoderSettings settings, std::size_t stream_capacity);

  // Packs one entry (at least one byte). `fresh`: the decoder starts anew (a non-solid entry or
  // the first packed entry of a solid archive); otherwise it continues from the previous entry.
  // `more_follow`: a solid entry may follow, so the last tables keep a code for new tables.
  std::vector<std::uint8_t> encode(std::span<const std::uint8_t> data, bool fresh, bool more_follow,
                                   EncodeReport* report = nullptr);

  void set_progress(std::function<void(std::size_t bytes)> progress) { settings_.on_progress = std::move(progress); }

 private:
  struct Segment {
    int mode;  // 0: LZ, 1..4: multimedia with that many channels
    std::vector<CodedSymbol> symbols;
    std::vector<std::uint32_t> counts;
    std::uint64_t extra_bits;
    int channel_after;  // the decoder's current channel after the segment
    std::uint64_t bits;  // size as a block of its own, tables included
  };
  struct Block {
    int mode;
    std::vector<std::uint32_t> counts;
    std::uint64_t extra_bits;
    std::size_t first_segment, end_segment;
    int channel_after;
    std::vector<std::uint8_t> lengths;
    bool keeps_tables = false;
  };

  void reset();
  Segment code_segment(std::size_t begin, std::size_t end);
  std::vector<Block> plan_blocks(const std::vector<Segment>& segments, bool fresh, bool more_follow, int start_channel);

  EncoderSettings settings_;
  std::vector<std::uint8_t> stream_;  // everything the decoder's window has seen since the reset
  MatchFinder finder_;
  LzState lz_;
  LzPrices prices_;
  AudioModel audio_;
  int table_mode_ = -1;  // the decoder's current tables: -1 none, 0 LZ, 1..4 audio channels
  std::vector<std::uint8_t> table_lengths_;
  std::array<std::uint8_t, rarpack::kMaxTableSize> previous_{};  // the decoder's previous lengths
  std::size_t previous_known_ = 0;                             // how many of them are settled
};

}  // namespace morvane
