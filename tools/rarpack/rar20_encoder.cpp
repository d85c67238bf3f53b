#include "tools/rarpack/rar20_encoder.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "tools/rarpack/bit_writer.h"
#include "tools/rarpack/huffman_lengths.h"
#include "tools/rarpack/table_writer.h"

namespace morvane {
namespace {

using namespace rarpack;

// Zero bytes behind every entry's bit stream: decoders that fetch a few bits ahead of the code
// they decode must not run out of data. Fewer than 5 bytes, so that the decoder's end-of-entry
// look for new tables never reads them as a symbol.
constexpr std::size_t kTailPadding = 2;

std::size_t table_size(int mode) { return mode == 0 ? kLzTableSize : static_cast<std::size_t>(kAudioSymbols * mode); }

std::size_t switch_index(int mode, int channel) {
  return mode == 0 ? kNewTables : static_cast<std::size_t>(channel * kAudioSymbols + kAudioNewTables);
}

// Calls fn(first, size) for each table in a transmitted length list: main, distance and repeat
// length for LZ, one per channel for multimedia.
template <class Fn>
void for_each_table(int mode, Fn fn) {
  if (mode == 0) {
    fn(std::size_t{0}, std::size_t{kMainSymbols});
    fn(std::size_t{kDistanceOffset}, std::size_t{kDistanceSymbols});
    fn(std::size_t{kRepeatLengthOffset}, std::size_t{kRepeatLengthSymbols});
  } else {
    for (int c = 0; c < mode; ++c) fn(static_cast<std::size_t>(c * kAudioSymbols), std::size_t{kAudioSymbols});
  }
}

std::vector<std::uint8_t> build_lengths(int mode, std::span<const std::uint32_t> counts) {
  std::vector<std::uint8_t> lengths(table_size(mode));
  const std::span<std::uint8_t> out(lengths);
  for_each_table(mode, [&](std::size_t from, std::size_t size) {
    build_code_lengths(counts.subspan(from, size), kMaxCodeLength, out.subspan(from, size));
  });
  return lengths;
}

std::vector<std::uint16_t> build_codes(int mode, std::span<const std::uint8_t> lengths) {
  std::vector<std::uint16_t> codes(lengths.size());
  const std::span<std::uint16_t> out(codes);
  for_each_table(mode, [&](std::size_t from, std::size_t size) {
    build_canonical_codes(lengths.subspan(from, size), out.subspan(from, size));
  });
  return codes;
}

// Bits of the symbols' codes; max() when a counted symbol has no code.
std::uint64_t code_bits(std::span<const std::uint32_t> counts, std::span<const std::uint8_t> lengths) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] == 0) continue;
    if (i >= lengths.size() || lengths[i] == 0) return std::numeric_limits<std::uint64_t>::max();
    bits += static_cast<std::uint64_t>(counts[i]) * lengths[i];
  }
  return bits;
}

// Size of a block that brings its own tables.
std::uint64_t block_bits(int mode, std::span<const std::uint32_t> counts, std::uint64_t extra_bits) {
  const std::vector<std::uint8_t> lengths = build_lengths(mode, counts);
  return code_bits(counts, lengths) + extra_bits + plan_table_transmission(lengths, {}, mode).bits;
}

void count_kind(EncodeReport& r, std::size_t index) {
  if (index < 256)
    ++r.literals;
  else if (index == kRepeatLastMatch)
    ++r.last_match_repeats;
  else if (index < kFirstShortMatch)
    ++r.recent_matches;
  else if (index < kNewTables)
    ++r.short_matches;
  else if (index >= kFirstLengthSlot && index < kMainSymbols)
    ++r.new_matches;
}

}  // namespace

Rar20Encoder::Rar20Encoder(EncoderSettings settings, std::size_t stream_capacity)
    : settings_(std::move(settings)), finder_(stream_capacity, settings_.max_chain) {
  reset();
}

void Rar20Encoder::reset() {
  stream_.clear();
  finder_.reset();
  lz_ = {};
  prices_ = LzPrices::flat();
  audio_ = {};
  table_mode_ = -1;
  table_lengths_.clear();
  previous_.fill(0);
  previous_known_ = previous_.size();
}

Rar20Encoder::Segment Rar20Encoder::code_segment(std::size_t begin, std::size_t end) {
  Segment best{-1, {}, {}, 0, 0, std::numeric_limits<std::uint64_t>::max()};
  auto offer = [&](Segment&& s) {
    s.counts.assign(table_size(s.mode), 0);
    s.extra_bits = 0;
    for (const CodedSymbol& c : s.symbols) {
      ++s.counts[c.index];
      s.extra_bits += c.extra_bits;
    }
    s.bits = block_bits(s.mode, s.counts, s.extra_bits);
    if (s.bits < best.bits) best = std::move(s);
  };

  LzState lz = lz_;
  {
    Segment s{0, {}, {}, 0, audio_.current, 0};
    parse_lz(stream_, begin, end, finder_, lz, prices_, s.symbols);
    offer(std::move(s));
  }
  AudioModel chosen_audio = audio_;
  const std::span<const std::uint8_t> bytes(stream_.data() + begin, end - begin);
  for (int channels = 1; channels <= kMaxAudioChannels; ++channels) {
    AudioModel audio = audio_;
    Segment s{channels, {}, {}, 0, 0, 0};
    encode_audio(bytes, channels, audio, s.symbols);
    s.channel_after = audio.current;
    const int before = best.mode;
    offer(std::move(s));
    if (best.mode != before) chosen_audio = audio;
  }
  if (best.mode == 0) {
    lz_ = lz;
    prices_ = LzPrices::from_counts(best.counts);
  } else {
    audio_ = chosen_audio;
  }
  return best;
}

std::vector<Rar20Encoder::Block> Rar20Encoder::plan_blocks(const std::vector<Segment>& segments, bool fresh, bool more_follow,
                                                           int start_channel) {
  // Neighbouring segments of one mode share tables when that is smaller than separate tables.
  std::vector<Block> blocks;
  std::uint64_t current_bits = 0;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const Segment& s = segments[i];
    const std::uint64_t alone = s.bits;
    if (!blocks.empty() && blocks.back().mode == s.mode) {
      Block& b = blocks.back();
      std::vector<std::uint32_t> joined = b.counts;
      for (std::size_t k = 0; k < joined.size(); ++k) joined[k] += s.counts[k];
      const std::uint64_t together = block_bits(s.mode, joined, b.extra_bits + s.extra_bits);
      if (together <= current_bits + alone) {
        b.counts = std::move(joined);
        b.extra_bits += s.extra_bits;
        b.end_segment = i + 1;
        b.channel_after = s.channel_after;
        current_bits = together;
        continue;
      }
    }
    blocks.push_back({s.mode, s.counts, s.extra_bits, i, i + 1, s.channel_after, {}, false});
    current_bits = alone;
  }

  // Every block but the last needs a code for the new-tables symbol, and so does the last one
  // when a solid entry may follow.
  for (std::size_t i = 0; i < blocks.size(); ++i)
    if (i + 1 < blocks.size() || more_follow) ++blocks[i].counts[switch_index(blocks[i].mode, blocks[i].channel_after)];

  // A solid entry may go on with the tables the previous entry left when they cover it.
  if (!fresh && table_mode_ == blocks[0].mode) {
    Block& b = blocks[0];
    const std::uint64_t kept = code_bits(b.counts, table_lengths_);
    if (kept != std::numeric_limits<std::uint64_t>::max()) {
      const std::vector<std::uint8_t> lengths = build_lengths(b.mode, b.counts);
      const std::uint64_t renewed = table_lengths_[switch_index(table_mode_, start_channel)] + code_bits(b.counts, lengths) +
                                    plan_table_transmission(lengths, std::span(previous_).first(previous_known_), b.mode).bits;
      b.keeps_tables = kept <= renewed;
    }
  }
  for (Block& b : blocks) b.lengths = b.keeps_tables ? table_lengths_ : build_lengths(b.mode, b.counts);
  return blocks;
}

std::vector<std::uint8_t> Rar20Encoder::encode(std::span<const std::uint8_t> data, bool fresh, bool more_follow,
                                               EncodeReport* report) {
  if (data.empty()) throw std::invalid_argument("an empty entry has nothing to pack");
  if (fresh) reset();
  if (!fresh && table_mode_ < 0) throw std::logic_error("a solid entry needs a packed entry before it");
  if (stream_.size() + data.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 1024))
    throw std::length_error("the packed stream is too long (2 GiB at most)");

  const int start_channel = audio_.current;
  const std::size_t base = stream_.size();
  stream_.insert(stream_.end(), data.begin(), data.end());
  std::vector<Segment> segments;
  const std::size_t step = std::max<std::size_t>(settings_.segment_size, 1);
  for (std::size_t begin = base; begin < stream_.size(); begin += step) {
    segments.push_back(code_segment(begin, std::min(stream_.size(), begin + step)));
    if (settings_.on_progress) settings_.on_progress(std::min(stream_.size(), begin + step) - base);
  }
  std::vector<Block> blocks = plan_blocks(segments, fresh, more_follow, start_channel);

  BitWriter out;
  EncodeReport local;
  local.kept_tables = blocks[0].keeps_tables;
  std::vector<std::uint16_t> codes = table_mode_ >= 0 ? build_codes(table_mode_, table_lengths_) : std::vector<std::uint16_t>{};
  auto put = [&](std::size_t index, std::uint32_t extra, int extra_bits) {
    if (index >= table_lengths_.size() || table_lengths_[index] == 0)
      throw std::logic_error("RAR 2.0 packer: symbol without a code");
    out.put(codes[index], table_lengths_[index]);
    out.put(extra, extra_bits);
  };
  int channel = start_channel;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    Block& b = blocks[i];
    if (!b.keeps_tables) {
      if (i > 0 || !fresh) {
        put(switch_index(table_mode_, channel), 0, 0);
        ++local.table_switches;
      }
      const TableTransmission t =
          plan_table_transmission(b.lengths, std::span(previous_).first(previous_known_), b.mode);
      write_table_transmission(out, t);
      std::copy(b.lengths.begin(), b.lengths.end(), previous_.begin());
      previous_known_ = b.lengths.size();
      table_mode_ = b.mode;
      table_lengths_ = b.lengths;
      codes = build_codes(b.mode, b.lengths);
      ++local.table_transmissions;
    }
    if (b.mode == 0)
      ++local.lz_blocks;
    else
      ++local.audio_blocks[static_cast<std::size_t>(b.mode - 1)];
    for (std::size_t k = b.first_segment; k < b.end_segment; ++k)
      for (const CodedSymbol& s : segments[k].symbols) {
        put(s.index, s.extra, s.extra_bits);
        if (b.mode == 0) count_kind(local, s.index);
      }
    channel = b.channel_after;
  }
  std::vector<std::uint8_t> bytes = out.finish();
  bytes.resize(bytes.size() + kTailPadding, 0);
  if (report) *report = local;
  return bytes;
}

}  // namespace morvane
