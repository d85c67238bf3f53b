#include "tools/compose/module_render.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <map>
#include <stdexcept>

namespace morvane::compose {
namespace {

double to_db(double power) { return power > 0.0 ? 10.0 * std::log10(power) : -200.0; }

struct Accumulator {
  double power = 0.0;
  long count = 0;
  double peak = 0.0;
  double window_power = 0.0;
  long window_count = 0;
  double quietest = 1e9;
};

}  // namespace

RenderReport render_module(std::span<const std::uint8_t> module, int sample_rate, bool keep_audio) {
  openmpt::module mod(module.data(), module.size());
  mod.set_repeat_count(0);
  const long window = sample_rate / 10;
  std::vector<float> buffer(2 * 512);
  std::vector<int> order_sequence;
  std::map<int, Accumulator> per_order;
  RenderReport report;
  double left = 0.0, right = 0.0;
  long frames = 0;
  for (;;) {
    int order = mod.get_current_order();
    // After the last row libopenmpt reports the start again; that tail belongs to the end.
    if (!order_sequence.empty() && order < order_sequence.back()) order = order_sequence.back();
    const std::size_t n = mod.read_interleaved_stereo(sample_rate, buffer.size() / 2, buffer.data());
    if (n == 0) break;
    if (order_sequence.empty() || order_sequence.back() != order) order_sequence.push_back(order);
    Accumulator& acc = per_order[order];
    for (std::size_t i = 0; i < n; ++i) {
      const double l = buffer[2 * i], r = buffer[2 * i + 1];
      const double p = 0.5 * (l * l + r * r);
      left += l * l;
      right += r * r;
      acc.power += p;
      acc.window_power += p;
      ++acc.count;
      acc.peak = std::max({acc.peak, std::abs(l), std::abs(r)});
      if (++acc.window_count == window) {
        acc.quietest = std::min(acc.quietest, acc.window_power / static_cast<double>(window));
        acc.window_power = 0.0;
        acc.window_count = 0;
      }
    }
    frames += static_cast<long>(n);
    if (keep_audio) report.stereo.insert(report.stereo.end(), buffer.begin(), buffer.begin() + static_cast<long>(2 * n));
  }
  for (int order : order_sequence) {
    const Accumulator& acc = per_order[order];
    OrderLevel level;
    level.order = order;
    level.seconds = static_cast<double>(acc.count) / sample_rate;
    level.rms_db = to_db(acc.count ? acc.power / static_cast<double>(acc.count) : 0.0);
    level.peak = acc.peak;
    level.quietest_window_db = acc.quietest < 1e9 ? to_db(acc.quietest) : level.rms_db;
    report.peak = std::max(report.peak, acc.peak);
    report.orders.push_back(level);
  }
  report.seconds = static_cast<double>(frames) / sample_rate;
  if (frames > 0) {
    report.left_rms_db = to_db(left / static_cast<double>(frames));
    report.right_rms_db = to_db(right / static_cast<double>(frames));
  }
  return report;
}

void write_wav(const char* path, const std::vector<float>& stereo, int sample_rate) {
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto u16 = [&](std::uint16_t v) {
    out.put(static_cast<char>(v & 0xFF));
    out.put(static_cast<char>(v >> 8));
  };
  const auto data_bytes = static_cast<std::uint32_t>(stereo.size() * 2);
  out.write("RIFF", 4);
  u32(36 + data_bytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(2);
  u32(static_cast<std::uint32_t>(sample_rate));
  u32(static_cast<std::uint32_t>(sample_rate) * 4);
  u16(4);
  u16(16);
  out.write("data", 4);
  u32(data_bytes);
  for (float v : stereo) {
    const auto s = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    u16(static_cast<std::uint16_t>(s));
  }
  if (!out) throw std::runtime_error(std::string("could not write ") + path);
}

}  // namespace morvane::compose
