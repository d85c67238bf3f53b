// Per-frame drawing cost of scene 3 (everything but the present) on the stand-in pictures, and
// the whole-buffer kernels its frames are made of.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <random>
#include <vector>

#include "bench/demo_parts_lightmap/standin_light_pictures.h"
#include "demo_parts/lightmap/light_map_kernels.h"
#include "demo_parts/lightmap/light_map_part.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

struct Scene {
  Scene() {
    reset_demo_rand();
    part.load_from(bench::standin_light_pictures());
  }
  LightMapPart part;
  std::vector<Rgb565> frame = std::vector<Rgb565>(kFramePixels);
  std::span<Rgb565, kFramePixels> pixels() { return std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels); }
};

Scene& scene() {
  static Scene loaded;
  return loaded;
}

// Feedback on: curves, blur, warp and the shaded picture. Arg 1 uses the wide warp.
void BM_FeedbackFrame(benchmark::State& state) {
  Scene& s = scene();
  LightMapRun run(s.part.assets());
  run.begin(s.pixels());
  if (state.range(0) == 1) run.draw_feedback_frame(15, 0.0f, 3, s.pixels());
  float t = 0.0f;
  for (auto _ : state) {
    run.draw_feedback_frame(15, t, std::nullopt, s.pixels());
    benchmark::DoNotOptimize(s.frame.data());
    t += 1.0f;
  }
}
BENCHMARK(BM_FeedbackFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Feedback off with the textured frame: clear, both curve sets, the frame, the averaged picture.
void BM_AveragedFrame(benchmark::State& state) {
  Scene& s = scene();
  LightMapRun run(s.part.assets());
  run.begin(s.pixels());
  run.draw_feedback_frame(15, 0.0f, 1, s.pixels());
  run.draw_feedback_frame(15, 1.0f, 2, s.pixels());
  float t = 2.0f;
  for (auto _ : state) {
    run.draw_feedback_frame(15, t, std::nullopt, s.pixels());
    benchmark::DoNotOptimize(s.frame.data());
    t += 1.0f;
  }
}
BENCHMARK(BM_AveragedFrame)->Unit(benchmark::kMicrosecond);

// Microseconds of CPU time this thread has used: a busy machine stretches wall time far more.
double thread_cpu_us() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0.0;
  const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

// The whole scene-3 rays frame: rays, mask, flare, decay and grey output. Arg 0: the window at
// rest; arg 1: shaking and rising after both commands. Each frame is timed alone, so the
// counters give the per-frame median and 90th percentile, in wall and in CPU microseconds.
void BM_RaysFrame(benchmark::State& state) {
  Scene& s = scene();
  LightMapRun run(s.part.assets());
  run.begin(s.pixels());
  run.begin_rays();
  if (state.range(0) == 1) {
    run.draw_rays_frame(0, 2, s.pixels());
    run.draw_rays_frame(1, 1, s.pixels());
  }
  std::vector<double> wall, cpu;
  int t = 2;
  for (auto _ : state) {
    const auto wall_start = std::chrono::steady_clock::now();
    const double cpu_start = thread_cpu_us();
    run.draw_rays_frame(t, std::nullopt, s.pixels());
    benchmark::DoNotOptimize(s.frame.data());
    cpu.push_back(thread_cpu_us() - cpu_start);
    wall.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - wall_start).count());
    t = t >= 2000 ? 2 : t + 1;
  }
  state.counters["median_us"] = percentile(wall, 0.5);
  state.counters["p90_us"] = percentile(wall, 0.9);
  state.counters["cpu_median_us"] = percentile(cpu, 0.5);
  state.counters["cpu_p90_us"] = percentile(cpu, 0.9);
}
BENCHMARK(BM_RaysFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

std::vector<std::uint8_t> noisy_map(unsigned limit) {
  std::vector<std::uint8_t> map(kLightMapBytes, 0);
  std::mt19937 random(5);
  for (int i = 0; i < kFramePixels; ++i) map[static_cast<std::size_t>(kLightMapMargin + i)] = static_cast<std::uint8_t>(random() % limit);
  return map;
}

void BM_Blur(benchmark::State& state) {
  auto map = noisy_map(128);
  for (auto _ : state) {
    blur_light_map(LightMapBuffer(map.data(), map.size()));
    benchmark::DoNotOptimize(map.data());
  }
}
BENCHMARK(BM_Blur)->Unit(benchmark::kMicrosecond);

void BM_Warp(benchmark::State& state) {
  const LightMapAssets a = scene().part.assets();
  auto from = noisy_map(128);
  std::vector<std::uint8_t> to(kLightMapBytes);
  for (auto _ : state) {
    warp_light_map(visible_area(LightMapBuffer(from.data(), from.size())), visible_area(LightMapBuffer(to.data(), to.size())),
                   a.warp1);
    benchmark::DoNotOptimize(to.data());
  }
}
BENCHMARK(BM_Warp)->Unit(benchmark::kMicrosecond);

void BM_Decay(benchmark::State& state) {
  auto current = noisy_map(64);
  std::vector<std::uint8_t> other(kLightMapBytes);
  for (auto _ : state) {
    decay_light_map(LightMapBuffer(current.data(), current.size()), LightMapBuffer(other.data(), other.size()));
    benchmark::DoNotOptimize(other.data());
  }
}
BENCHMARK(BM_Decay)->Unit(benchmark::kMicrosecond);

void BM_ShadeOutput(benchmark::State& state) {
  Scene& s = scene();
  const LightMapAssets a = s.part.assets();
  auto light = noisy_map(128);
  const ConstLightView view = visible_area(LightMapBuffer(light.data(), light.size()));
  for (auto _ : state) {
    if (state.range(0) == 0) {
      shade_light_map(s.pixels(), view, a.shade, a.picture);
    } else {
      blend_shaded_light_map(s.pixels(), view, a.shade, a.picture);
    }
    benchmark::DoNotOptimize(s.frame.data());
  }
}
BENCHMARK(BM_ShadeOutput)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_GreyOutput(benchmark::State& state) {
  Scene& s = scene();
  auto light = noisy_map(64);
  for (auto _ : state) {
    grey_light_map(s.pixels(), visible_area(LightMapBuffer(light.data(), light.size())));
    benchmark::DoNotOptimize(s.frame.data());
  }
}
BENCHMARK(BM_GreyOutput)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
