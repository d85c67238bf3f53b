#pragma once
// The in-memory shape of an Extended Module as the composer builds it: header values, order
// list, patterns of cells, instruments with their samples and envelopes. xm_writer.h turns it
// into file bytes.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace morvane::xm {

inline constexpr std::uint8_t kNoteOff = 97;        // the key-off "note"
inline constexpr std::uint8_t kEffectZ = 35;        // effect letter Z (0-9 then A..Z)
inline constexpr std::uint8_t kEffectSetPan = 0x08;  // 8xx
inline constexpr int kMaxChannels = 32;
inline constexpr int kMaxRows = 256;
inline constexpr int kMaxOrders = 256;
inline constexpr int kMaxInstruments = 128;
inline constexpr int kMaxEnvelopePoints = 12;

// Volume column: set volume v (0..64).
constexpr std::uint8_t volume_column(int v) { return static_cast<std::uint8_t>(0x10 + v); }

struct Cell {
  std::uint8_t note = 0;        // 0 none, 1..96 C-0..B-7, 97 key off
  std::uint8_t instrument = 0;  // 0 none, 1..128
  std::uint8_t volume = 0;      // volume column byte, 0 = empty
  std::uint8_t effect = 0;
  std::uint8_t param = 0;
  bool empty() const { return note == 0 && instrument == 0 && volume == 0 && effect == 0 && param == 0; }
  friend bool operator==(const Cell&, const Cell&) = default;
};

class Pattern {
 public:
  Pattern(int rows, int channels)
      : rows_(rows), channels_(channels), cells_(static_cast<std::size_t>(rows * channels)) {}
  int rows() const { return rows_; }
  int channels() const { return channels_; }
  Cell& at(int row, int channel) { return cells_[index(row, channel)]; }
  const Cell& at(int row, int channel) const { return cells_[index(row, channel)]; }

 private:
  std::size_t index(int row, int channel) const;
  int rows_;
  int channels_;
  std::vector<Cell> cells_;
};

enum class LoopType : std::uint8_t { kNone = 0, kForward = 1, kPingPong = 2 };

struct Sample {
  std::string name;
  // Exactly one of these holds the data; 16-bit when pcm16 is non-empty.
  std::vector<std::int16_t> pcm16;
  std::vector<std::int8_t> pcm8;
  LoopType loop = LoopType::kNone;
  std::uint32_t loop_start = 0;   // in sample frames
  std::uint32_t loop_length = 0;  // in sample frames
  std::uint8_t volume = 64;       // 0..64
  std::int8_t finetune = 0;       // 1/128 semitone
  std::uint8_t panning = 128;     // 0 left .. 255 right
  std::int8_t relative_note = 0;  // semitones added to every note
  bool sixteen_bit() const { return !pcm16.empty(); }
  std::size_t frames() const { return sixteen_bit() ? pcm16.size() : pcm8.size(); }
};

struct EnvelopePoint {
  std::uint16_t tick = 0;   // position in ticks from the note start
  std::uint16_t value = 0;  // 0..64
};

struct Envelope {
  std::vector<EnvelopePoint> points;  // at most 12, ticks increasing
  bool enabled = false;
  bool sustain = false;
  bool loop = false;
  std::uint8_t sustain_point = 0;
  std::uint8_t loop_start = 0;
  std::uint8_t loop_end = 0;
};

enum class VibratoWave : std::uint8_t { kSine = 0, kSquare = 1, kRampDown = 2, kRampUp = 3 };

struct Instrument {
  std::string name;
  std::vector<Sample> samples;             // at most 16
  std::array<std::uint8_t, 96> sample_map{};  // sample number per note
  Envelope volume_envelope;
  Envelope panning_envelope;
  VibratoWave vibrato_wave = VibratoWave::kSine;
  std::uint8_t vibrato_sweep = 0;
  std::uint8_t vibrato_depth = 0;
  std::uint8_t vibrato_rate = 0;
  std::uint16_t fadeout = 0;  // 0..0xFFF
};

struct Module {
  std::string title;                         // at most 20 characters, padded with spaces
  std::string tracker = "FastTracker v2.00";  // padded with spaces to 20
  int channels = 2;                          // even, 2..32
  bool linear_frequencies = true;
  int speed = 6;   // ticks per row, 1..31
  int bpm = 125;   // 32..255
  int restart_position = 0;
  std::vector<std::uint8_t> orders;  // pattern number per order
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;
};

}  // namespace morvane::xm
