#include "tools/compose/xm_writer.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace morvane::xm {

std::size_t Pattern::index(int row, int channel) const {
  if (row < 0 || row >= rows_ || channel < 0 || channel >= channels_) {
    throw std::out_of_range("pattern cell " + std::to_string(row) + ":" + std::to_string(channel) +
                            " outside " + std::to_string(rows_) + " x " + std::to_string(channels_));
  }
  return static_cast<std::size_t>(row * channels_ + channel);
}

namespace {

class ByteWriter {
 public:
  void u8(unsigned v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v) {
    u8(v & 0xFF);
    u8((v >> 8) & 0xFF);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  // A fixed-width text field, cut to width and padded with `pad`.
  void text(std::string_view s, std::size_t width, char pad) {
    for (std::size_t i = 0; i < width; ++i) u8(static_cast<unsigned char>(i < s.size() ? s[i] : pad));
  }
  void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  void append(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  std::size_t size() const { return bytes_.size(); }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

void require(bool ok, const std::string& what) {
  if (!ok) throw std::invalid_argument("XM: " + what);
}

void check_envelope(const Envelope& env, const std::string& where) {
  require(env.points.size() <= kMaxEnvelopePoints, where + ": more than 12 envelope points");
  for (std::size_t i = 0; i < env.points.size(); ++i) {
    require(env.points[i].value <= 64, where + ": envelope value above 64");
    require(i == 0 || env.points[i].tick > env.points[i - 1].tick, where + ": envelope ticks not increasing");
  }
  if (env.enabled) require(!env.points.empty(), where + ": enabled envelope without points");
  const auto n = env.points.size();
  if (env.sustain) require(env.sustain_point < n, where + ": sustain point outside the envelope");
  if (env.loop) {
    require(env.loop_start <= env.loop_end && env.loop_end < n, where + ": loop outside the envelope");
  }
}

void check_module(const Module& m) {
  require(m.title.size() <= 20, "title longer than 20 characters");
  require(m.tracker.size() <= 20, "tracker name longer than 20 characters");
  require(m.channels >= 2 && m.channels <= kMaxChannels && m.channels % 2 == 0,
          "channel count must be even, 2..32");
  require(m.speed >= 1 && m.speed <= 31, "speed outside 1..31");
  require(m.bpm >= 32 && m.bpm <= 255, "BPM outside 32..255");
  require(!m.orders.empty() && m.orders.size() <= kMaxOrders, "order count outside 1..256");
  require(m.restart_position >= 0 && static_cast<std::size_t>(m.restart_position) < m.orders.size(),
          "restart position outside the order list");
  require(!m.patterns.empty() && m.patterns.size() <= 256, "pattern count outside 1..256");
  for (auto o : m.orders) require(o < m.patterns.size(), "order names a missing pattern");
  for (const auto& p : m.patterns) {
    require(p.rows() >= 1 && p.rows() <= kMaxRows, "pattern rows outside 1..256");
    require(p.channels() == m.channels, "pattern channel count differs from the module's");
    for (int r = 0; r < p.rows(); ++r) {
      for (int c = 0; c < p.channels(); ++c) {
        const Cell& cell = p.at(r, c);
        require(cell.note <= kNoteOff, "note above key-off");
        require(cell.instrument <= m.instruments.size(), "cell names a missing instrument");
        require(cell.effect <= kEffectZ, "effect above Z");
      }
    }
  }
  require(m.instruments.size() <= kMaxInstruments, "more than 128 instruments");
  for (const auto& ins : m.instruments) {
    const std::string where = "instrument '" + ins.name + "'";
    require(ins.name.size() <= 22, where + ": name longer than 22 characters");
    require(ins.samples.size() <= 16, where + ": more than 16 samples");
    require(ins.fadeout <= 0xFFF, where + ": fadeout above 0xFFF");
    check_envelope(ins.volume_envelope, where);
    check_envelope(ins.panning_envelope, where);
    for (auto s : ins.sample_map) require(s < std::max<std::size_t>(1, ins.samples.size()), where + ": map names a missing sample");
    for (const auto& s : ins.samples) {
      require(s.name.size() <= 22, where + ": sample name longer than 22 characters");
      require(s.pcm16.empty() || s.pcm8.empty(), where + ": sample holds both 8- and 16-bit data");
      require(s.volume <= 64, where + ": sample volume above 64");
      const std::uint64_t frames = s.frames();
      require(frames <= 0x7FFFFFFF / 2, where + ": sample too long");
      if (s.loop != LoopType::kNone) {
        require(s.loop_length > 0 && std::uint64_t{s.loop_start} + s.loop_length <= frames,
                where + ": sample loop outside the data");
      }
    }
  }
}

void write_envelope_points(ByteWriter& w, const Envelope& env) {
  for (std::size_t i = 0; i < kMaxEnvelopePoints; ++i) {
    if (i < env.points.size()) {
      w.u16(env.points[i].tick);
      w.u16(env.points[i].value);
    } else {
      w.u32(0);
    }
  }
}

unsigned envelope_flags(const Envelope& env) {
  return (env.enabled ? 1u : 0u) | (env.sustain ? 2u : 0u) | (env.loop ? 4u : 0u);
}

void write_instrument(ByteWriter& w, const Instrument& ins) {
  constexpr std::uint32_t kInstrumentHeaderSize = 263;
  constexpr std::uint32_t kSampleHeaderSize = 40;
  const std::size_t start = w.size();
  w.u32(kInstrumentHeaderSize);
  w.text(ins.name, 22, '\0');
  w.u8(0);  // type
  w.u16(static_cast<unsigned>(ins.samples.size()));
  w.u32(kSampleHeaderSize);
  for (auto s : ins.sample_map) w.u8(s);
  write_envelope_points(w, ins.volume_envelope);
  write_envelope_points(w, ins.panning_envelope);
  w.u8(static_cast<unsigned>(ins.volume_envelope.points.size()));
  w.u8(static_cast<unsigned>(ins.panning_envelope.points.size()));
  for (const Envelope* env : {&ins.volume_envelope, &ins.panning_envelope}) {
    w.u8(env->sustain_point);
    w.u8(env->loop_start);
    w.u8(env->loop_end);
  }
  w.u8(envelope_flags(ins.volume_envelope));
  w.u8(envelope_flags(ins.panning_envelope));
  w.u8(static_cast<unsigned>(ins.vibrato_wave));
  w.u8(ins.vibrato_sweep);
  w.u8(ins.vibrato_depth);
  w.u8(ins.vibrato_rate);
  w.u16(ins.fadeout);
  w.zeros(kInstrumentHeaderSize - (w.size() - start));  // reserved

  for (const auto& s : ins.samples) {
    const std::uint32_t unit = s.sixteen_bit() ? 2 : 1;
    w.u32(static_cast<std::uint32_t>(s.frames()) * unit);
    w.u32(s.loop == LoopType::kNone ? 0 : s.loop_start * unit);
    w.u32(s.loop == LoopType::kNone ? 0 : s.loop_length * unit);
    w.u8(s.volume);
    w.u8(static_cast<std::uint8_t>(s.finetune));
    w.u8(static_cast<unsigned>(s.loop) | (s.sixteen_bit() ? 0x10u : 0u));
    w.u8(s.panning);
    w.u8(static_cast<std::uint8_t>(s.relative_note));
    w.u8(0);  // reserved
    w.text(s.name, 22, '\0');
  }
  for (const auto& s : ins.samples) {
    w.append(s.sixteen_bit() ? delta_encode(s.pcm16) : delta_encode(s.pcm8));
  }
}

}  // namespace

std::vector<std::uint8_t> pack_pattern(const Pattern& pattern) {
  std::vector<std::uint8_t> out;
  bool any = false;
  for (int r = 0; r < pattern.rows() && !any; ++r)
    for (int c = 0; c < pattern.channels() && !any; ++c) any = !pattern.at(r, c).empty();
  if (!any) return out;
  out.reserve(static_cast<std::size_t>(pattern.rows() * pattern.channels()) * 2);
  for (int r = 0; r < pattern.rows(); ++r) {
    for (int c = 0; c < pattern.channels(); ++c) {
      const Cell& cell = pattern.at(r, c);
      const std::array<std::uint8_t, 5> fields = {cell.note, cell.instrument, cell.volume, cell.effect, cell.param};
      const unsigned mask = (cell.note ? 1u : 0u) | (cell.instrument ? 2u : 0u) | (cell.volume ? 4u : 0u) |
                            (cell.effect ? 8u : 0u) | (cell.param ? 16u : 0u);
      if (mask == 0x1F) {
        out.insert(out.end(), fields.begin(), fields.end());
        continue;
      }
      out.push_back(static_cast<std::uint8_t>(0x80 | mask));
      for (std::size_t i = 0; i < fields.size(); ++i)
        if (mask & (1u << i)) out.push_back(fields[i]);
    }
  }
  return out;
}

std::vector<std::uint8_t> delta_encode(std::span<const std::int16_t> pcm) {
  std::vector<std::uint8_t> out;
  out.reserve(pcm.size() * 2);
  std::uint16_t previous = 0;
  for (std::int16_t s : pcm) {
    const auto v = static_cast<std::uint16_t>(s);
    const auto d = static_cast<std::uint16_t>(v - previous);  // wraps, as the format expects
    out.push_back(static_cast<std::uint8_t>(d & 0xFF));
    out.push_back(static_cast<std::uint8_t>(d >> 8));
    previous = v;
  }
  return out;
}

std::vector<std::uint8_t> delta_encode(std::span<const std::int8_t> pcm) {
  std::vector<std::uint8_t> out;
  out.reserve(pcm.size());
  std::uint8_t previous = 0;
  for (std::int8_t s : pcm) {
    const auto v = static_cast<std::uint8_t>(s);
    out.push_back(static_cast<std::uint8_t>(v - previous));
    previous = v;
  }
  return out;
}

std::vector<std::uint8_t> write_module(const Module& m) {
  check_module(m);
  ByteWriter w;
  constexpr std::uint32_t kHeaderSize = 276;  // counted from its own field
  w.text("Extended Module: ", 17, ' ');
  w.text(m.title, 20, ' ');
  w.u8(0x1A);
  w.text(m.tracker, 20, ' ');
  w.u16(0x0104);
  w.u32(kHeaderSize);
  w.u16(static_cast<unsigned>(m.orders.size()));
  w.u16(static_cast<unsigned>(m.restart_position));
  w.u16(static_cast<unsigned>(m.channels));
  w.u16(static_cast<unsigned>(m.patterns.size()));
  w.u16(static_cast<unsigned>(m.instruments.size()));
  w.u16(m.linear_frequencies ? 1u : 0u);
  w.u16(static_cast<unsigned>(m.speed));
  w.u16(static_cast<unsigned>(m.bpm));
  for (std::size_t i = 0; i < 256; ++i) w.u8(i < m.orders.size() ? m.orders[i] : 0);

  for (const auto& p : m.patterns) {
    const auto packed = pack_pattern(p);
    require(packed.size() <= 0xFFFF, "packed pattern larger than 65535 bytes");
    w.u32(9);  // pattern header length
    w.u8(0);   // packing type
    w.u16(static_cast<unsigned>(p.rows()));
    w.u16(static_cast<unsigned>(packed.size()));
    w.append(packed);
  }
  for (const auto& ins : m.instruments) write_instrument(w, ins);
  return w.take();
}

void save_file(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("Could not write " + path.string());
}

}  // namespace morvane::xm
