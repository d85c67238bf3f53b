// The sound layer's mixing cost: what the audio thread spends per second of music. The
// counter "cpu_share" is the fraction of one core the live layer needs (render time divided by
// the length of the music rendered).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/live_mixer.h"
#include "platform/playout_clock.h"
#include "platform/sound_module.h"
#include "platform/xm_z_scanner.h"

namespace morvane {
namespace {

constexpr int kRate = 44100;
constexpr int kBufferFrames = 1024;
constexpr int kSeconds = 10;

std::filesystem::path module_path(const char* name) {
  return std::filesystem::path(MORVANE_TESTDATA_DIR) / "xm" / name;
}

// Renders the first kSeconds of a module the way the audio thread does: buffer by buffer
// through the live mixer, with its clock and event delivery.
void BM_LiveMixing(benchmark::State& state, const char* name) {
  int error = 0;
  std::unique_ptr<SoundModule> module = load_sound_module(module_path(name).c_str(), kRate, error);
  if (!module) {
    state.SkipWithError("test module missing or unreadable");
    return;
  }
  std::vector<std::int16_t> buffer(kBufferFrames * 2);
  const int buffers = kSeconds * kRate / kBufferFrames;
  for (auto _ : state) {
    state.PauseTiming();
    restart_sound_module(*module, error);
    LiveMixer mixer;
    mixer.play(*module);
    state.ResumeTiming();
    for (int i = 0; i < buffers; ++i) mixer.mix(buffer, steady_now_ns());
    benchmark::DoNotOptimize(buffer.data());
  }
  const double music_seconds = static_cast<double>(buffers) * kBufferFrames / kRate;
  state.counters["cpu_share"] =
      benchmark::Counter(music_seconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(BM_LiveMixing, milky_10ch, "milky.xm")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LiveMixing, slumberjack_8ch, "slumberjack.xm")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LiveMixing, unet2_6ch, "unet2.xm")->Unit(benchmark::kMillisecond);

// The scan of a module at load time.
void BM_ScanZ(benchmark::State& state) {
  std::ifstream in(module_path("unet2.xm"), std::ios::binary);
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (file.empty()) {
    state.SkipWithError("test module missing");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(scan_xm_z(file));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ScanZ);

}  // namespace
}  // namespace morvane
