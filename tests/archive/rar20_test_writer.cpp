#include "tests/archive/rar20_test_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <queue>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace morvane::test {
namespace {

// Slot tables written out again from the format description, independent of the decoder's.
constexpr unsigned kLengthBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
constexpr unsigned kShortBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

unsigned distance_bits(unsigned slot) { return slot < 4 ? 0 : slot < 34 ? (slot - 2) / 2 : 16; }

template <std::size_t N>
std::array<std::uint32_t, N> bases_of(const unsigned (&bits)[N]) {
  std::array<std::uint32_t, N> b{};
  for (std::size_t i = 1; i < N; ++i) b[i] = b[i - 1] + (1u << bits[i - 1]);
  return b;
}
const auto kLengthBases = bases_of(kLengthBits);
const auto kShortBases = bases_of(kShortBits);
std::array<std::uint32_t, 48> distance_bases() {
  std::array<std::uint32_t, 48> b{};
  for (unsigned i = 1; i < 48; ++i) b[i] = b[i - 1] + (1u << distance_bits(i - 1));
  return b;
}
const auto kDistanceBases = distance_bases();

// The slot whose range holds value.
template <std::size_t N>
unsigned slot_of(const std::array<std::uint32_t, N>& bases, std::uint32_t value) {
  unsigned s = 0;
  while (s + 1 < N && bases[s + 1] <= value) ++s;
  return s;
}

void require(bool ok, const char* what) {
  if (!ok) throw std::logic_error(what);
}

void put_le(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
void BitWriter::put(std::uint32_t value, unsigned bits) {
  for (unsigned i = bits; i-- > 0;) {
    pending_ = pending_ << 1 | ((value >> i) & 1);
    if (++pending_bits_ == 8) {
      out_.push_back(static_cast<std::uint8_t>(pending_));
      pending_ = 0;
      pending_bits_ = 0;
    }
  }
}

std::vector<std::uint8_t> BitWriter::bytes() const {
  std::vector<std::uint8_t> out = out_;
  if (pending_bits_ != 0) out.push_back(static_cast<std::uint8_t>(pending_ << (8 - pending_bits_)));
  return out;
}

std::vector<Code> canonical_codes(std::span<const std::uint8_t> lengths) {
  std::vector<Code> codes(lengths.size());
  std::uint32_t next = 0;
  for (unsigned len = 1; len <= 15; ++len) {
    for (std::size_t s = 0; s < lengths.size(); ++s)
      if (lengths[s] == len) codes[s] = {next++, static_cast<std::uint8_t>(len)};
    next <<= 1;
  }
  return codes;
}

std::vector<std::uint8_t> huffman_lengths(std::span<const std::uint64_t> frequencies, unsigned limit) {
  std::vector<std::uint64_t> freq(frequencies.begin(), frequencies.end());
  const std::size_t n = freq.size();
  for (;;) {
    std::vector<std::uint8_t> lengths(n, 0);
    using Node = std::pair<std::uint64_t, int>;  // weight, node index
    std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
    std::vector<int> parent;
    for (std::size_t s = 0; s < n; ++s)
      if (freq[s] != 0) {
        queue.push({freq[s], static_cast<int>(parent.size())});
        parent.push_back(-1);
      }
    if (parent.empty()) return lengths;
    if (parent.size() == 1) {
      for (std::size_t s = 0; s < n; ++s)
        if (freq[s] != 0) lengths[s] = 1;
      return lengths;
    }
    while (queue.size() > 1) {
      const Node a = queue.top();
      queue.pop();
      const Node b = queue.top();
      queue.pop();
      const int joined = static_cast<int>(parent.size());
      parent.push_back(-1);
      parent[static_cast<std::size_t>(a.second)] = joined;
      parent[static_cast<std::size_t>(b.second)] = joined;
      queue.push({a.first + b.first, joined});
    }
    unsigned longest = 0;
    int leaf = 0;
    for (std::size_t s = 0; s < n; ++s) {
      if (freq[s] == 0) continue;
      unsigned depth = 0;
      for (int p = parent[static_cast<std::size_t>(leaf)]; p != -1; p = parent[static_cast<std::size_t>(p)]) ++depth;
      lengths[s] = static_cast<std::uint8_t>(std::min(depth, 255u));
      longest = std::max(longest, depth);
      ++leaf;
    }
    if (longest <= limit) return lengths;
    for (auto& f : freq)
      if (f != 0) f = (f + 1) / 2;  // flatten and try again
  }
}

// ---------------------------------------------------------------------------------------------
int reference_prediction(const ReferenceChannel& c, int channel_delta) {
  const int d1 = c.last_delta;
  const int d2 = c.last_delta - c.d[0];
  const int d3 = c.d[1];
  const int d4 = c.d[2];
  const int p = 8 * c.last_byte + c.k[0] * d1 + c.k[1] * d2 + c.k[2] * d3 + c.k[3] * d4 + c.k[4] * channel_delta;
  return (p >> 3) & 0xFF;
}

std::uint8_t reference_decode(ReferenceChannel& c, int& channel_delta, unsigned delta) {
  const int p = reference_prediction(c, channel_delta);
  ++c.count;
  c.d[3] = c.d[2];
  c.d[2] = c.d[1];
  c.d[1] = c.last_delta - c.d[0];
  c.d[0] = c.last_delta;
  const int byte = p - static_cast<int>(delta);
  const int d = static_cast<std::int8_t>(delta) * 8;
  const int others[5] = {c.d[0], c.d[1], c.d[2], c.d[3], channel_delta};
  c.errors[0] += static_cast<unsigned>(std::abs(d));
  for (int i = 0; i < 5; ++i) {
    c.errors[2 * i + 1] += static_cast<unsigned>(std::abs(d - others[i]));
    c.errors[2 * i + 2] += static_cast<unsigned>(std::abs(d + others[i]));
  }
  channel_delta = c.last_delta = static_cast<std::int8_t>(byte - c.last_byte);
  c.last_byte = byte;
  if (c.count % 32 == 0) {
    int best = 0;
    for (int i = 1; i < 11; ++i)
      if (c.errors[i] < c.errors[best]) best = i;
    std::fill(std::begin(c.errors), std::end(c.errors), 0u);
    if (best > 0) {
      int& k = c.k[(best - 1) / 2];
      if (best % 2 == 1 && k >= -16) --k;
      if (best % 2 == 0 && k < 16) ++k;
    }
  }
  return static_cast<std::uint8_t>(byte);
}

// ---------------------------------------------------------------------------------------------
unsigned Rar20Writer::length_bonus(std::uint32_t distance, bool recent) {
  return (distance >= 0x40000) + (distance >= 0x2000) + (recent && distance >= 0x101);
}

void Rar20Writer::start_counting() {
  counting_ = true;
  const std::size_t sizes[7] = {298, 48, 28, 257, 257, 257, 257};
  for (unsigned t = 0; t < 7; ++t) counts_[t].assign(sizes[t], 0);
}

void Rar20Writer::assume_audio(unsigned channels) {
  audio_ = true;
  channels_ = channels;
  if (channel_ >= channels_) channel_ = 0;
}

void Rar20Writer::put(unsigned table, unsigned symbol) {
  if (counting_) {
    ++counts_[table].at(symbol);
    return;
  }
  const std::vector<Code>& codes = codes_[table];
  require(symbol < codes.size() && codes[symbol].length != 0, "symbol has no code in the current tables");
  bits_.put(codes[symbol].bits, codes[symbol].length);
}

void Rar20Writer::remember(std::uint32_t distance, std::uint32_t length, bool update_last) {
  recent_[counter_++ & 3] = distance;
  if (update_last) {
    last_distance_ = distance;
    last_length_ = length;
  }
}

void Rar20Writer::install(bool audio, bool delta, unsigned channels, std::span<const std::uint8_t> result) {
  if (!delta) previous_.fill(0);
  std::copy(result.begin(), result.end(), current_.begin());
  previous_ = current_;
  const std::span<const std::uint8_t> all(current_);
  if (audio) {
    assume_audio(channels);
    for (unsigned c = 0; c < channels; ++c) codes_[kAudioTable0 + c] = canonical_codes(all.subspan(257 * c, 257));
  } else {
    assume_lz();
    codes_[kMainTable] = canonical_codes(all.first(298));
    codes_[kDistanceTable] = canonical_codes(all.subspan(298, 48));
    codes_[kRepeatTable] = canonical_codes(all.subspan(346, 28));
  }
}

void Rar20Writer::raw_tables(bool audio, bool delta, unsigned channels,
                             const std::array<std::uint8_t, 19>& code_length_lengths,
                             std::span<const LengthItem> items, std::span<const std::uint8_t> result) {
  bits_.put((audio ? 2u : 0u) | (delta ? 1u : 0u), 2);
  if (audio) bits_.put(channels - 1, 2);
  for (std::uint8_t l : code_length_lengths) bits_.put(l, 4);
  const std::vector<Code> codes = canonical_codes(code_length_lengths);
  for (const LengthItem& item : items) {
    require(codes.at(item.symbol).length != 0, "code-length symbol without a code");
    bits_.put(codes[item.symbol].bits, codes[item.symbol].length);
    if (item.symbol == 16) bits_.put(item.extra, 2);
    if (item.symbol == 17) bits_.put(item.extra, 3);
    if (item.symbol == 18) bits_.put(item.extra, 7);
  }
  install(audio, delta, channels, result);
}

void Rar20Writer::send_tables(bool audio, bool delta, unsigned channels, std::span<const std::uint8_t> lengths,
                              bool runs) {
  std::vector<LengthItem> items;
  for (std::size_t i = 0; i < lengths.size();) {
    if (!delta && runs) {
      std::size_t run = 1;
      while (i + run < lengths.size() && lengths[i + run] == lengths[i]) ++run;
      if (lengths[i] == 0 && run >= 11) {
        const std::size_t n = std::min<std::size_t>(run, 138);
        items.push_back({18, static_cast<unsigned>(n - 11)});
        i += n;
        continue;
      }
      if (lengths[i] == 0 && run >= 3) {
        const std::size_t n = std::min<std::size_t>(run, 10);
        items.push_back({17, static_cast<unsigned>(n - 3)});
        i += n;
        continue;
      }
      if (i > 0 && lengths[i] == lengths[i - 1] && run >= 3) {
        const std::size_t n = std::min<std::size_t>(run, 6);
        items.push_back({16, static_cast<unsigned>(n - 3)});
        i += n;
        continue;
      }
    }
    const unsigned base = delta ? previous_[i] : 0;
    items.push_back({(lengths[i] - base) & 15u, 0});
    ++i;
  }
  std::vector<std::uint64_t> freq(19, 0);
  for (const LengthItem& item : items) ++freq[item.symbol];
  const std::vector<std::uint8_t> cl = huffman_lengths(freq, 15);
  std::array<std::uint8_t, 19> cl_lengths{};
  std::copy(cl.begin(), cl.end(), cl_lengths.begin());
  raw_tables(audio, delta, channels, cl_lengths, items, lengths);
}

void Rar20Writer::lz_tables(std::span<const std::uint8_t> lengths, bool delta, bool runs) {
  require(lengths.size() == 374, "LZ tables take 374 lengths");
  send_tables(false, delta, 1, lengths, runs);
}

void Rar20Writer::audio_tables(unsigned channels, std::span<const std::uint8_t> lengths, bool delta, bool runs) {
  require(channels >= 1 && channels <= 4 && lengths.size() == 257 * channels, "audio tables take 257 x channels");
  send_tables(true, delta, channels, lengths, runs);
}

void Rar20Writer::literal(std::uint8_t b) { put(kMainTable, b); }

void Rar20Writer::match(std::uint32_t length, std::uint32_t distance) {
  require(distance >= 1 && distance <= 0x100000, "distance out of range");
  const unsigned bonus = length_bonus(distance, false);
  require(length >= 3 + bonus && length - 3 - bonus <= 255, "length out of range");
  const std::uint32_t coded = length - 3 - bonus;
  const unsigned ls = slot_of(kLengthBases, coded);
  const unsigned ds = slot_of(kDistanceBases, distance - 1);
  put(kMainTable, 270 + ls);
  bits_.put(coded - kLengthBases[ls], kLengthBits[ls]);
  put(kDistanceTable, ds);
  bits_.put(distance - 1 - kDistanceBases[ds], distance_bits(ds));
  remember(distance, length, true);
}

void Rar20Writer::repeat_last() {
  put(kMainTable, 256);
  remember(last_distance_, last_length_, false);
}

void Rar20Writer::recent(unsigned back, std::uint32_t length) {
  require(back >= 1 && back <= 4, "recent distance index is 1 to 4");
  const std::uint32_t distance = recent_distance(back);
  const unsigned bonus = length_bonus(distance, true);
  require(length >= 2 + bonus && length - 2 - bonus <= 255, "length out of range");
  const std::uint32_t coded = length - 2 - bonus;
  const unsigned ls = slot_of(kLengthBases, coded);
  put(kMainTable, 256 + back);
  put(kRepeatTable, ls);
  bits_.put(coded - kLengthBases[ls], kLengthBits[ls]);
  remember(distance, length, true);
}

void Rar20Writer::short_match(std::uint32_t distance) {
  require(distance >= 1 && distance <= 256, "short distance is 1 to 256");
  const unsigned s = slot_of(kShortBases, distance - 1);
  put(kMainTable, 261 + s);
  bits_.put(distance - 1 - kShortBases[s], kShortBits[s]);
  remember(distance, 2, true);
}

void Rar20Writer::new_tables() {
  if (audio_)
    put(kAudioTable0 + channel_, 256);
  else
    put(kMainTable, 269);
}

void Rar20Writer::emit(const Token& t) {
  if (t.symbol < 256) {
    literal(static_cast<std::uint8_t>(t.symbol));
  } else if (t.symbol == 256) {
    repeat_last();
  } else if (t.symbol <= 260) {
    require(recent_distance(t.symbol - 256) == t.distance, "planned recent distance differs");
    recent(t.symbol - 256, t.length);
  } else if (t.symbol < 269) {
    short_match(t.distance);
  } else {
    match(t.length, t.distance);
  }
}

void Rar20Writer::audio_symbol(unsigned symbol) { put(kAudioTable0 + channel_, symbol); }

void Rar20Writer::audio_byte(std::uint8_t b) {
  ReferenceChannel& c = predictors_[channel_];
  const unsigned delta = static_cast<unsigned>(reference_prediction(c, channel_delta_) - b) & 0xFF;
  put(kAudioTable0 + channel_, delta);
  reference_decode(c, channel_delta_, delta);
  if (++channel_ == channels_) channel_ = 0;
}

// ---------------------------------------------------------------------------------------------
namespace {

constexpr unsigned kHashBits = 16;
constexpr std::uint32_t kMaxDistance = 0x100000;
constexpr std::size_t kMaxMatch = 257;

unsigned hash3(std::span<const std::uint8_t> all, std::size_t i) {
  return ((unsigned{all[i]} << 10) ^ (unsigned{all[i + 1]} << 5) ^ all[i + 2]) & ((1u << kHashBits) - 1);
}

std::size_t common_length(std::span<const std::uint8_t> all, std::size_t a, std::size_t b, std::size_t max) {
  std::size_t n = 0;
  while (n < max && all[a + n] == all[b + n]) ++n;
  return n;
}

void append_lengths(std::vector<std::uint8_t>& out, const std::vector<std::uint64_t>& counts) {
  const std::vector<std::uint8_t> l = huffman_lengths(counts, 15);
  out.insert(out.end(), l.begin(), l.end());
}

}  // namespace

std::vector<std::uint8_t> Rar20Packer::pack(std::span<const std::uint8_t> data, bool continues_solid,
                                            const Options& options) {
  if (!continues_solid) {
    writer_.reset();
    history_.clear();
    transmissions_ = 0;
    tables_sent_ = false;
  } else {
    writer_.start_entry();
  }
  const std::size_t from = history_.size();
  history_.insert(history_.end(), data.begin(), data.end());
  // Only the last 1 MiB can be matched; older history is dropped for speed.
  const std::span<const std::uint8_t> all(history_);

  head_.assign(1u << kHashBits, -1);
  chain_.assign(all.size(), -1);
  for (std::size_t i = from > kMaxDistance ? from - kMaxDistance : 0; i < from; ++i) insert(all, i);

  const std::size_t to = all.size();
  if (options.audio_channels == 0) {
    pack_lz(all, from, to, options);
  } else {
    const std::size_t split = std::min(to, from + options.lz_prefix);
    if (split > from) pack_lz(all, from, split, options);
    pack_audio(all, split, to, options);
  }
  if (!tables_sent_) {  // an empty non-solid entry still starts with a transmission
    std::vector<std::uint8_t> lengths(374, 0);
    lengths[0] = lengths[269] = 1;
    writer_.lz_tables(lengths);
    tables_sent_ = true;
  }
  return writer_.bytes();
}

void Rar20Packer::insert(std::span<const std::uint8_t> all, std::size_t at) {
  if (at + 2 >= all.size()) return;
  const unsigned h = hash3(all, at);
  chain_[at] = head_[h];
  head_[h] = static_cast<std::int32_t>(at);
}

void Rar20Packer::begin_block() {
  // A stream that already has tables announces new ones with the table symbol.
  if (tables_sent_) writer_.new_tables();
  tables_sent_ = true;
  ++transmissions_;
}

Token Rar20Packer::choose(std::span<const std::uint8_t> all, std::size_t at, const Rar20Writer& state,
                          unsigned chain_depth) const {
  const std::size_t max = std::min(kMaxMatch, all.size() - at);
  // A recent distance is the cheapest way to say a match; 256 the cheapest of all.
  for (unsigned back = 1; back <= 4; ++back) {
    const std::uint32_t d = state.recent_distance(back);
    if (d == 0 || d > at) continue;
    const std::size_t len = common_length(all, at - d, at, max);
    const unsigned bonus = Rar20Writer::length_bonus(d, true);
    if (back == 1 && d == state.last_distance() && state.last_length() >= 2 && len >= state.last_length())
      return {256, state.last_length(), d};
    if (len >= 3 + bonus) return {static_cast<std::uint16_t>(256 + back), static_cast<std::uint32_t>(std::min<std::size_t>(len, 257 + bonus)), d};
  }
  std::size_t best_len = 0;
  std::uint32_t best_dist = 0;
  if (max >= 3) {
    unsigned depth = 0;
    for (std::int32_t c = head_[hash3(all, at)]; c >= 0 && depth < chain_depth; c = chain_[static_cast<std::size_t>(c)], ++depth) {
      const std::size_t dist = at - static_cast<std::size_t>(c);
      if (dist > kMaxDistance) break;
      const std::size_t len = common_length(all, static_cast<std::size_t>(c), at, max);
      if (len > best_len) {
        best_len = len;
        best_dist = static_cast<std::uint32_t>(dist);
      }
    }
  }
  const unsigned bonus = Rar20Writer::length_bonus(best_dist, false);
  if (best_len >= 3 + bonus) return {270, static_cast<std::uint32_t>(std::min<std::size_t>(best_len, 258 + bonus)), best_dist};
  if (max >= 2)
    for (std::uint32_t d = 1; d <= 256 && d <= at; ++d)
      if (all[at - d] == all[at] && all[at - d + 1] == all[at + 1]) return {261, 2, d};
  return {all[at], 1, 0};
}

void Rar20Packer::pack_lz(std::span<const std::uint8_t> all, std::size_t from, std::size_t to, const Options& options) {
  std::size_t i = from;
  while (i < to) {
    // Plan the block on a counting copy of the decoder mirror, then send its tables and symbols.
    Rar20Writer plan = writer_;
    plan.assume_lz();
    plan.start_counting();
    std::vector<Token> tokens;
    while (i < to && tokens.size() < options.block_symbols) {
      Token t = choose(all.first(to), i, plan, options.chain_depth);
      plan.emit(t);
      tokens.push_back(t);
      const std::size_t advance = t.symbol < 256 ? 1 : t.length;
      for (std::size_t k = 0; k < advance; ++k) insert(all, i + k);
      i += advance;
    }
    std::vector<std::uint64_t> main = plan.counts(Rar20Writer::kMainTable);
    main[269] += 1;  // the next block (or a solid successor) must be able to say "new tables"
    std::vector<std::uint8_t> lengths;
    append_lengths(lengths, main);
    append_lengths(lengths, plan.counts(Rar20Writer::kDistanceTable));
    append_lengths(lengths, plan.counts(Rar20Writer::kRepeatTable));
    const bool delta = delta_now(options);
    begin_block();
    writer_.lz_tables(lengths, delta);
    for (const Token& t : tokens) writer_.emit(t);
  }
}

void Rar20Packer::pack_audio(std::span<const std::uint8_t> all, std::size_t from, std::size_t to,
                             const Options& options) {
  const unsigned channels = options.audio_channels;
  std::size_t i = from;
  while (i < to) {
    const std::size_t end = std::min(to, i + options.block_symbols);
    Rar20Writer plan = writer_;
    plan.assume_audio(channels);
    plan.start_counting();
    for (std::size_t k = i; k < end; ++k) plan.audio_byte(all[k]);
    std::vector<std::uint8_t> lengths;
    for (unsigned c = 0; c < channels; ++c) {
      std::vector<std::uint64_t> counts = plan.counts(Rar20Writer::kAudioTable0 + c);
      counts[256] += 1;  // room for "new tables" in whichever channel comes next
      append_lengths(lengths, counts);
    }
    const bool delta = delta_now(options);
    begin_block();
    writer_.audio_tables(channels, lengths, delta);
    for (std::size_t k = i; k < end; ++k) writer_.audio_byte(all[k]);
    for (std::size_t k = i; k < end; ++k) insert(all, k);
    i = end;
  }
}

// ---------------------------------------------------------------------------------------------
ArchiveBuilder::ArchiveBuilder(std::uint16_t main_flags, bool alternative_marker, std::vector<std::uint8_t> main_extra) {
  const std::uint8_t rar[7] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
  const std::uint8_t alt[7] = {'T', 'o', 'v', 'r', 'i', 'x', '!'};
  bytes_.assign(alternative_marker ? alt : rar, (alternative_marker ? alt : rar) + 7);
  put_le(bytes_, 0, 2);
  bytes_.push_back(0x73);
  put_le(bytes_, main_flags, 2);
  put_le(bytes_, static_cast<std::uint32_t>(13 + main_extra.size()), 2);
  put_le(bytes_, 0, 2);
  put_le(bytes_, 0, 4);
  bytes_.insert(bytes_.end(), main_extra.begin(), main_extra.end());
}

ArchiveBuilder& ArchiveBuilder::entry(const EntrySpec& e) {
  put_le(bytes_, e.head_crc, 2);
  bytes_.push_back(0x74);
  put_le(bytes_, e.flags, 2);
  put_le(bytes_, e.head_size.value_or(static_cast<std::uint16_t>(32 + e.name.size() + e.header_extra.size())), 2);
  put_le(bytes_, e.pack_size.value_or(static_cast<std::uint32_t>(e.data.size())), 4);
  put_le(bytes_, e.unp_size, 4);
  bytes_.push_back(0);  // host OS
  put_le(bytes_, e.file_crc, 4);
  put_le(bytes_, 0, 4);  // time
  bytes_.push_back(e.unp_ver);
  bytes_.push_back(e.method);
  put_le(bytes_, e.name_size.value_or(static_cast<std::uint16_t>(e.name.size())), 2);
  put_le(bytes_, 0x20, 4);
  bytes_.insert(bytes_.end(), e.name.begin(), e.name.end());
  bytes_.insert(bytes_.end(), e.header_extra.begin(), e.header_extra.end());
  bytes_.insert(bytes_.end(), e.data.begin(), e.data.end());
  return *this;
}

ArchiveBuilder& ArchiveBuilder::stored(const std::string& name, std::span<const std::uint8_t> content) {
  EntrySpec e;
  e.name = name;
  e.data.assign(content.begin(), content.end());
  e.unp_size = static_cast<std::uint32_t>(content.size());
  return entry(e);
}

ArchiveBuilder& ArchiveBuilder::block(std::uint8_t type, std::uint16_t flags, std::vector<std::uint8_t> header_extra,
                                      std::vector<std::uint8_t> add_data) {
  const bool long_block = !add_data.empty();
  put_le(bytes_, 0xBEEF, 2);
  bytes_.push_back(type);
  put_le(bytes_, long_block ? (flags | 0x8000u) : flags, 2);
  put_le(bytes_, static_cast<std::uint32_t>(7 + (long_block ? 4 : 0) + header_extra.size()), 2);
  if (long_block) put_le(bytes_, static_cast<std::uint32_t>(add_data.size()), 4);
  bytes_.insert(bytes_.end(), header_extra.begin(), header_extra.end());
  bytes_.insert(bytes_.end(), add_data.begin(), add_data.end());
  return *this;
}

ArchiveBuilder& ArchiveBuilder::raw(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

// ---------------------------------------------------------------------------------------------
TempFile::TempFile(std::span<const std::uint8_t> contents) {
  static int counter = 0;
  path_ = (std::filesystem::temp_directory_path() /
           ("morvane_archive_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".rar"))
              .string();
  std::ofstream out(path_, std::ios::binary);
  out.write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(contents.size()));
  if (!out) throw std::runtime_error("cannot write " + path_);
}

TempFile::~TempFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

// ---------------------------------------------------------------------------------------------
std::vector<std::uint8_t> text_like_data(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"the ",   "archive ", "window ", "of ",    "match ", "length ", "distance ",
                                       "table ", "entry ",   "bits ",   "and ",   "a ",     "solid ",  "\n",
                                       "0123 ",  "frame ",   "palette ", "tunnel ", "glow ",  "scene "};
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> out;
  out.reserve(size);
  while (out.size() < size) {
    const unsigned pick = rng() % 100;
    if (pick < 70 || out.size() < 64) {
      const char* w = kWords[rng() % std::size(kWords)];
      while (*w && out.size() < size) out.push_back(static_cast<std::uint8_t>(*w++));
    } else if (pick < 85) {
      out.push_back(static_cast<std::uint8_t>(rng()));  // noise keeps literals in play
    } else {
      // Copy an older stretch: distances from short to nearly the whole window.
      const std::size_t back = 1 + rng() % std::min<std::size_t>(out.size(), (pick < 95 ? 4096u : 0xFFFFFu));
      const std::size_t len = 3 + rng() % 40;
      const std::size_t src = out.size() - back;
      for (std::size_t k = 0; k < len && out.size() < size; ++k) out.push_back(out[src + k]);
    }
  }
  return out;
}

std::vector<std::uint8_t> wave_data(std::size_t size, unsigned channels, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> out(size);
  for (std::size_t i = 0; i < size; ++i) {
    const double t = static_cast<double>(i / channels);
    const unsigned c = static_cast<unsigned>(i % channels);
    const double v = 60 * std::sin(t * (0.031 + 0.007 * c)) + 30 * std::sin(t * 0.0023 + c) + static_cast<int>(rng() % 7) - 3;
    out[i] = static_cast<std::uint8_t>(128 + static_cast<int>(v));
  }
  return out;
}

}  // namespace morvane::test
