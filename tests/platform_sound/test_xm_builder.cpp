#include "tests/platform_sound/test_xm_builder.h"

#include <cstring>
#include <string_view>

namespace morvane::test {
namespace {

class Writer {
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
  void text(std::string_view s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) u8(i < s.size() ? static_cast<unsigned char>(s[i]) : ' ');
  }
  void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  std::vector<std::uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

std::vector<std::uint8_t> pack(const TestPattern& pattern, bool unpacked) {
  std::vector<std::uint8_t> out;
  for (const TestCell& c : pattern.cells) {
    const std::uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.parameter};
    unsigned mask = 0;
    for (unsigned i = 0; i < 5; ++i) mask |= fields[i] != 0 ? 1u << i : 0u;
    if (unpacked && mask != 0) {
      out.insert(out.end(), fields, fields + 5);
      continue;
    }
    out.push_back(static_cast<std::uint8_t>(0x80 | mask));
    for (unsigned i = 0; i < 5; ++i) {
      if ((mask & (1u << i)) != 0) out.push_back(fields[i]);
    }
  }
  return out;
}

void write_instrument(Writer& w) {
  constexpr std::uint32_t kSampleLength = 32;
  w.u32(263);
  w.text("square", 22);
  w.u8(0);
  w.u16(1);         // samples
  w.u32(40);        // sample header size
  w.zeros(96);      // every note plays sample 0
  w.zeros(48 + 48); // envelopes
  w.zeros(14);      // envelope counts and flags, vibrato
  w.u16(0);         // fadeout
  w.zeros(22);      // reserved
  w.u32(kSampleLength);
  w.u32(0);             // loop start
  w.u32(kSampleLength); // loop length
  w.u8(48);             // volume
  w.u8(0);              // finetune
  w.u8(1);              // forward loop, 8-bit
  w.u8(128);            // panning
  w.u8(0);              // relative note
  w.u8(0);
  w.text("square", 22);
  // Delta-coded 8-bit square wave.
  int previous = 0;
  for (std::uint32_t i = 0; i < kSampleLength; ++i) {
    const int value = i < kSampleLength / 2 ? 60 : -60;
    w.u8(static_cast<unsigned>((value - previous) & 0xFF));
    previous = value;
  }
}

}  // namespace

TestPattern empty_pattern(int rows, int channels) {
  TestPattern p;
  p.rows = rows;
  p.cells.resize(static_cast<std::size_t>(rows * channels));
  return p;
}

std::vector<std::uint8_t> build_xm(const TestModule& m) {
  Writer w;
  w.text("Extended Module: ", 17);
  w.text("test module", 20);
  w.u8(0x1A);
  w.text("FastTracker v2.00", 20);
  w.u16(0x0104);
  w.u32(276);
  w.u16(static_cast<unsigned>(m.orders.size()));
  w.u16(static_cast<unsigned>(m.restart));
  w.u16(static_cast<unsigned>(m.channels));
  w.u16(static_cast<unsigned>(m.patterns.size()));
  w.u16(m.with_instrument ? 1 : 0);
  w.u16(1);  // linear frequencies
  w.u16(static_cast<unsigned>(m.speed));
  w.u16(static_cast<unsigned>(m.bpm));
  for (std::size_t i = 0; i < 256; ++i) w.u8(i < m.orders.size() ? m.orders[i] : 0);
  for (const TestPattern& p : m.patterns) {
    const std::vector<std::uint8_t> packed = pack(p, m.unpacked_cells);
    w.u32(9);
    w.u8(0);
    w.u16(static_cast<unsigned>(p.rows));
    w.u16(static_cast<unsigned>(packed.size()));
    w.bytes().insert(w.bytes().end(), packed.begin(), packed.end());
  }
  if (m.with_instrument) write_instrument(w);
  return std::move(w.bytes());
}

}  // namespace morvane::test
