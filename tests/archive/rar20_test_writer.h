#pragma once
// Test-only RAR 2.0 writer: a bit writer, canonical Huffman codes, a symbol-level stream writer
// for hand-made edge cases, a small LZ / multimedia packer for round trips, and a builder of
// archive files around the packed data. It mirrors the decoder's state (recent distances,
// previous code lengths, channel predictors) independently of the code under test.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace morvane::test {

class BitWriter {
 public:
  void put(std::uint32_t value, unsigned bits);  // most significant bit first, bits <= 24
  std::vector<std::uint8_t> bytes() const;      // the last byte padded with zero bits
  std::size_t bit_count() const { return out_.size() * 8 + pending_bits_; }

 private:
  std::vector<std::uint8_t> out_;
  std::uint32_t pending_ = 0;
  unsigned pending_bits_ = 0;
};

struct Code {
  std::uint32_t bits = 0;
  std::uint8_t length = 0;
};
// The codes a canonical decoder assigns: by length, then by symbol.
std::vector<Code> canonical_codes(std::span<const std::uint8_t> lengths);
// Huffman code lengths of at most `limit` bits; symbols with frequency 0 get length 0. A lone
// used symbol gets length 1.
std::vector<std::uint8_t> huffman_lengths(std::span<const std::uint64_t> frequencies, unsigned limit = 15);

// The multimedia predictor of one channel, written from the format description for the tests.
struct ReferenceChannel {
  int k[5] = {0, 0, 0, 0, 0};
  int d[4] = {0, 0, 0, 0};
  int last_delta = 0;
  unsigned errors[11] = {};
  unsigned count = 0;
  int last_byte = 0;
};
// The predicted value (0 to 255) before any update.
int reference_prediction(const ReferenceChannel& c, int channel_delta);
// Decodes delta like the decoder does and updates the channel; returns the byte.
std::uint8_t reference_decode(ReferenceChannel& c, int& channel_delta, unsigned delta);

// One code-length symbol of a table transmission (0-15 delta, 16 repeat, 17/18 zero runs).
struct LengthItem {
  unsigned symbol = 0;
  unsigned extra = 0;
};

// One decoded step of an LZ stream: a literal (symbol < 256), 256 (repeat the last match),
// 257-260 (a recent distance), 261 (a short match, any of 261-268) or 270 (a new match, any of
// 270-297).
struct Token {
  std::uint16_t symbol = 0;
  std::uint32_t length = 0;
  std::uint32_t distance = 0;
};

// Writes one entry's packed stream symbol by symbol, tracking what the decoder will hold. In
// counting mode it writes nothing and counts the symbols each table would have to code.
class Rar20Writer {
 public:
  enum Table : unsigned { kMainTable, kDistanceTable, kRepeatTable, kAudioTable0 };

  // Forget everything (a non-solid entry).
  void reset() { *this = Rar20Writer(); }
  // Start the next entry's bytes; the decoder state carries over (solid continuation).
  void start_entry() { bits_ = BitWriter(); }
  std::vector<std::uint8_t> bytes() const { return bits_.bytes(); }
  BitWriter& bits() { return bits_; }

  // Table transmissions. lengths: 374 (main, distance, repeat length) or 257 x channels.
  // delta: send each length relative to the previous transmission (flag 0x4000); runs: use
  // codes 16-18 for repeats and zero runs (only without delta).
  void lz_tables(std::span<const std::uint8_t> lengths, bool delta = false, bool runs = true);
  void audio_tables(unsigned channels, std::span<const std::uint8_t> lengths, bool delta = false, bool runs = true);
  // Fully explicit transmission for edge cases; `result` is what the decoder ends up with.
  void raw_tables(bool audio, bool delta, unsigned channels, const std::array<std::uint8_t, 19>& code_length_lengths,
                  std::span<const LengthItem> items, std::span<const std::uint8_t> result);

  // Symbols under the current tables; each throws std::logic_error when the tables have no
  // code for a symbol it needs or the values cannot be coded.
  void literal(std::uint8_t b);
  void match(std::uint32_t length, std::uint32_t distance);  // 270-297
  void repeat_last();                                       // 256
  void recent(unsigned back, std::uint32_t length);         // 257-260, back 1 to 4
  void short_match(std::uint32_t distance);                  // 261-268, length 2, distance 1-256
  void new_tables();                                         // 269, or 256 in multimedia mode
  void emit(const Token& t);
  void audio_symbol(unsigned symbol);                        // 0-256 in the current channel's table
  void audio_byte(std::uint8_t b);                           // one byte through the predictor

  // Counting mode, for planning a block's tables; assume_* switch the mode without sending.
  void start_counting();
  const std::vector<std::uint64_t>& counts(unsigned table) const { return counts_[table]; }
  void assume_audio(unsigned channels);
  void assume_lz() { audio_ = false; }

  // Mirrored decoder state.
  std::uint32_t recent_distance(unsigned back) const { return recent_[(counter_ - back) & 3]; }
  std::uint32_t last_length() const { return last_length_; }
  std::uint32_t last_distance() const { return last_distance_; }
  bool audio_mode() const { return audio_; }
  unsigned channels() const { return channels_; }

  static unsigned length_bonus(std::uint32_t distance, bool recent);

 private:
  void put(unsigned table, unsigned symbol);
  void remember(std::uint32_t distance, std::uint32_t length, bool update_last);
  void send_tables(bool audio, bool delta, unsigned channels, std::span<const std::uint8_t> lengths, bool runs);
  void install(bool audio, bool delta, unsigned channels, std::span<const std::uint8_t> result);

  BitWriter bits_;
  bool counting_ = false;
  std::array<std::vector<std::uint64_t>, 7> counts_;
  std::array<std::uint8_t, 1028> current_{};
  std::array<std::uint8_t, 1028> previous_{};
  std::array<std::vector<Code>, 7> codes_;
  std::array<std::uint32_t, 4> recent_{};
  std::uint32_t counter_ = 0;
  std::uint32_t last_length_ = 0, last_distance_ = 0;
  bool audio_ = false;
  unsigned channels_ = 1, channel_ = 0;
  int channel_delta_ = 0;
  std::array<ReferenceChannel, 4> predictors_{};
};

// A small packer: greedy LZ with hash chains, or the multimedia mode, in blocks with their own
// tables. It keeps its history and decoder mirror across entries for solid streams.
class Rar20Packer {
 public:
  struct Options {
    std::size_t block_symbols = 1 << 15;  // new tables after this many symbols
    unsigned audio_channels = 0;          // 0 = LZ, 1-4 = multimedia mode
    std::size_t lz_prefix = 0;            // multimedia mode: bytes packed as LZ first
    unsigned chain_depth = 16;
    bool alternate_delta_tables = true;   // every other transmission relative to the last
  };

  // Packs the next entry; continues_solid keeps the decoder state of the previous entry (the
  // file header flag 0x0010), otherwise the state starts afresh.
  std::vector<std::uint8_t> pack(std::span<const std::uint8_t> data, bool continues_solid, const Options& options);
  std::vector<std::uint8_t> pack(std::span<const std::uint8_t> data, bool continues_solid = false) {
    return pack(data, continues_solid, Options{});
  }

 private:
  void pack_lz(std::span<const std::uint8_t> all, std::size_t from, std::size_t to, const Options& options);
  void pack_audio(std::span<const std::uint8_t> all, std::size_t from, std::size_t to, const Options& options);
  void begin_block();
  bool delta_now(const Options& options) const { return options.alternate_delta_tables && transmissions_ % 2 == 1; }
  Token choose(std::span<const std::uint8_t> all, std::size_t at, const Rar20Writer& state, unsigned chain_depth) const;
  void insert(std::span<const std::uint8_t> all, std::size_t at);

  Rar20Writer writer_;
  std::vector<std::uint8_t> history_;
  std::vector<std::int32_t> head_;
  std::vector<std::int32_t> chain_;
  unsigned transmissions_ = 0;
  bool tables_sent_ = false;  // this entry's stream already holds (or inherits) tables
};

// An archive file put together block by block.
struct EntrySpec {
  std::string name;
  std::vector<std::uint8_t> data;  // the entry's bytes as stored in the archive (packed or not)
  std::uint32_t unp_size = 0;
  std::uint8_t unp_ver = 20;
  std::uint8_t method = 0x30;
  std::uint16_t flags = 0x8000;
  std::optional<std::uint32_t> pack_size;  // default: data.size()
  std::optional<std::uint16_t> name_size;  // default: name.size()
  std::vector<std::uint8_t> header_extra;  // bytes inside HEAD_SIZE after the name
  std::optional<std::uint16_t> head_size;  // default: 32 + name + header_extra
  std::uint16_t head_crc = 0;
  std::uint32_t file_crc = 0;
};

class ArchiveBuilder {
 public:
  explicit ArchiveBuilder(std::uint16_t main_flags = 0, bool alternative_marker = false,
                          std::vector<std::uint8_t> main_extra = {});
  ArchiveBuilder& entry(const EntrySpec& e);
  // Stored entry with the given content.
  ArchiveBuilder& stored(const std::string& name, std::span<const std::uint8_t> content);
  // A block of another type; with add_data, flag 0x8000 and ADD_SIZE are set and the data follows.
  ArchiveBuilder& block(std::uint8_t type, std::uint16_t flags, std::vector<std::uint8_t> header_extra = {},
                        std::vector<std::uint8_t> add_data = {});
  ArchiveBuilder& raw(std::span<const std::uint8_t> bytes);
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// A file under the system's temporary directory, removed again when this goes.
class TempFile {
 public:
  explicit TempFile(std::span<const std::uint8_t> contents);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Deterministic test content: text-like bytes with repeats at every distance, and a sampled
// waveform for the multimedia mode.
std::vector<std::uint8_t> text_like_data(std::size_t size, std::uint32_t seed);
std::vector<std::uint8_t> wave_data(std::size_t size, unsigned channels, std::uint32_t seed);

}  // namespace morvane::test
