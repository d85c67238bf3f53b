// The capture's costs: whole runs of morvane-capture on the stand-in show (log only, every frame
// as PNG, video) as multiples of real time, and the per-frame kernels: the fingerprint beside a
// plain copy of the same display buffer, and one PNG frame.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "contracts/pixel.h"
#include "tools/capture/capture_session.h"
#include "tools/png/png_frame_encoder.h"
#include "tools/png/png_writer.h"

namespace morvane::capture {
namespace {

namespace fs = std::filesystem;

// A drawn-looking display buffer: a 320 x 200 picture of gradients and fine texture, doubled
// into the middle of the 640 x 480 buffer with black bands above and below.
std::vector<Pixel32> display_frame() {
  std::vector<Pixel32> pixels(static_cast<std::size_t>(kDisplayWidth) * kDisplayHeight, 0);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      const std::uint32_t r = static_cast<std::uint32_t>(x * 255 / kFrameWidth);
      const std::uint32_t g = static_cast<std::uint32_t>(y * 255 / kFrameHeight);
      const std::uint32_t b = ((x ^ y) & 0x3F) + ((noise >> 28) & 3);
      const Pixel32 p = to_pixel32(static_cast<Rgb565>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)));
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
          pixels[static_cast<std::size_t>(40 + 2 * y + dy) * kDisplayWidth + 2 * x + dx] = p;
    }
  }
  return pixels;
}

void BM_FrameHash(benchmark::State& state) {
  const std::vector<Pixel32> pixels = display_frame();
  for (auto _ : state) benchmark::DoNotOptimize(frame_hash(pixels));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels.size() * sizeof(Pixel32)));
}
BENCHMARK(BM_FrameHash);

// What the fingerprint is measured against: one copy of the same buffer.
void BM_CopyDisplayBuffer(benchmark::State& state) {
  const std::vector<Pixel32> pixels = display_frame();
  std::vector<Pixel32> copy(pixels.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), pixels.data(), pixels.size() * sizeof(Pixel32));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels.size() * sizeof(Pixel32)));
}
BENCHMARK(BM_CopyDisplayBuffer);

fs::path scratch_png() { return fs::path(MORVANE_BUILD_DIR) / ("capture-bench-" + std::to_string(getpid()) + ".png"); }

// One 640 x 480 frame to a file, as each capture worker writes it.
void BM_PngFrame640x480(benchmark::State& state) {
  const std::vector<Pixel32> pixels = display_frame();
  PngFrameEncoder encoder;
  for (auto _ : state) encoder.write(scratch_png(), kDisplayWidth, kDisplayHeight, pixels);
  state.counters["file_bytes"] = static_cast<double>(fs::file_size(scratch_png()));
  fs::remove(scratch_png());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PngFrame640x480)->Unit(benchmark::kMillisecond);

// The same frame the earlier way: converted to RGB bytes, then libpng with zlib's fastest level
// and the "sub" filter on every row.
void BM_PngFrame640x480LibpngFastest(benchmark::State& state) {
  const std::vector<Pixel32> pixels = display_frame();
  std::vector<std::uint8_t> rgb(pixels.size() * 3);
  for (auto _ : state) {
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      rgb[3 * i] = static_cast<std::uint8_t>(pixels[i] >> 16);
      rgb[3 * i + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
      rgb[3 * i + 2] = static_cast<std::uint8_t>(pixels[i]);
    }
    write_png_rgb(scratch_png(), kDisplayWidth, kDisplayHeight, rgb, PngCompression::kFast);
  }
  state.counters["file_bytes"] = static_cast<double>(fs::file_size(scratch_png()));
  fs::remove(scratch_png());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PngFrame640x480LibpngFastest)->Unit(benchmark::kMillisecond);

double children_cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// One whole capture of a show; x_real_time is song time over wall time, cpu_x_real_time song
// time over the CPU time of the capture and its ffmpeg (what one core would reach alone).
void run_capture(benchmark::State& state, const char* module, const std::string& arguments, bool needs_ffmpeg) {
  const fs::path build = MORVANE_BUILD_DIR;
  if (!fs::exists(build / "morvane.dat") || !fs::exists(build / module)) {
    state.SkipWithError("stand-in data not built");
    return;
  }
  if (needs_ffmpeg && std::system("ffmpeg -version >/dev/null 2>&1") != 0) {
    state.SkipWithError("ffmpeg is not installed");
    return;
  }
  const fs::path root = build / ("capture-bench-" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "data");
  fs::copy_file(build / "morvane.dat", root / "data" / "morvane.dat");
  fs::copy_file(build / module, root / "data" / "morvane.xm");
  // OUT in the arguments stands for an output path inside the scratch directory.
  std::string outputs = arguments;
  for (std::size_t at; (at = outputs.find("OUT")) != std::string::npos;) outputs.replace(at, 3, (root / "out").string());
  double song_seconds = 0.0, wall = 0.0, cpu = 0.0;
  for (auto _ : state) {
    fs::remove_all(root / "out");
    const std::string command = std::string(MORVANE_CAPTURE_EXE) + " --quiet --data '" + (root / "data").string() +
                                "' --log '" + (root / "log.csv").string() + "' " + outputs + " 2>'" +
                                (root / "summary.txt").string() + "'";
    const double cpu_before = children_cpu_seconds();
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    wall += seconds;
    cpu += children_cpu_seconds() - cpu_before;
    std::ifstream summary(root / "summary.txt");
    const std::string text((std::istreambuf_iterator<char>(summary)), std::istreambuf_iterator<char>());
    const auto of_song = text.find(" s of song");
    const auto comma = text.rfind(", ", of_song);
    if (status != 0 || of_song == std::string::npos || comma == std::string::npos) {
      state.SkipWithError(("capture failed: " + text).c_str());
      break;
    }
    song_seconds += std::stod(text.substr(comma + 2, of_song - comma - 2));
  }
  fs::remove_all(root);
  if (wall > 0) state.counters["x_real_time"] = song_seconds / wall;
  if (cpu > 0) state.counters["cpu_x_real_time"] = song_seconds / cpu;
  state.counters["song_s"] = song_seconds / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
}

void BM_CaptureLogOnly(benchmark::State& state, const char* module) { run_capture(state, module, "", false); }
BENCHMARK_CAPTURE(BM_CaptureLogOnly, short_show, "morvane-short.xm")->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_CaptureLogOnly, whole_show, "morvane.xm")->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_CapturePng(benchmark::State& state) { run_capture(state, "morvane-short.xm", "--out 'OUT'", false); }
BENCHMARK(BM_CapturePng)->UseManualTime()->Iterations(2)->Unit(benchmark::kSecond);

void BM_CaptureVideo(benchmark::State& state, const char* quality) {
  run_capture(state, "morvane-short.xm", std::string("--video 'OUT.mp4' --quality ") + quality, true);
}
BENCHMARK_CAPTURE(BM_CaptureVideo, draft, "draft")->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_CaptureVideo, fast, "fast")->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_CaptureVideo, high, "high")->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace morvane::capture
