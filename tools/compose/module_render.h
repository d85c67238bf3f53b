#pragma once
// Renders a module with libopenmpt and measures it order by order: what the listening test
// and the morvane-listen program look at instead of ears.
#include <cstdint>
#include <span>
#include <vector>

namespace morvane::compose {

struct OrderLevel {
  int order = 0;
  double seconds = 0.0;  // how long the order played
  double rms_db = -200.0;  // mean power of both channels, dBFS
  double peak = 0.0;       // largest magnitude, 1.0 = full scale
  double quietest_window_db = 0.0;  // the quietest 100 ms of the order
};

struct RenderReport {
  std::vector<OrderLevel> orders;  // in playing order
  double peak = 0.0;
  double seconds = 0.0;
  double left_rms_db = -200.0;
  double right_rms_db = -200.0;
  std::vector<float> stereo;  // interleaved frames when kept
};

// Throws std::runtime_error when libopenmpt cannot load the module.
RenderReport render_module(std::span<const std::uint8_t> module, int sample_rate, bool keep_audio);

// 16-bit stereo PCM WAV of the rendered frames.
void write_wav(const char* path, const std::vector<float>& stereo, int sample_rate);

}  // namespace morvane::compose
