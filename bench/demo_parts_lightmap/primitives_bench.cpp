// The light-map primitives one by one, on the stand-in pictures.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/demo_parts_lightmap/standin_light_pictures.h"
#include "demo_parts/lightmap/light_map_part.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

struct Loaded {
  Loaded() {
    reset_demo_rand();
    part.load_from(bench::standin_light_pictures());
  }
  LightMapPart part;
};

Loaded& loaded() {
  static Loaded scene;
  return scene;
}

void BM_GlowCurves(benchmark::State& state) {
  const LightMapAssets a = loaded().part.assets();
  std::vector<std::uint8_t> light(kFramePixels, 0);
  float t = 0.0f;
  for (auto _ : state) {
    draw_glow_curves(static_cast<float>(1.3 + 0.39 * std::sin(0.0174532924 * t)), static_cast<int>(1.3 * t),
                     LightView(light.data(), light.size()), a.dot, a.weights, a.points);
    benchmark::DoNotOptimize(light.data());
    t += 1.0f;
  }
}
BENCHMARK(BM_GlowCurves)->Unit(benchmark::kMicrosecond);

void BM_TexturedFrame(benchmark::State& state) {
  const LightMapAssets a = loaded().part.assets();
  std::vector<std::uint8_t> light(kFramePixels, 0);
  float t = 0.0f;
  for (auto _ : state) {
    draw_textured_frame(static_cast<float>(0.5 + 0.49 * std::sin(0.0069813172 * t)),
                        static_cast<float>(360 * std::sin(0.0027925269 * t)), LightView(light.data(), light.size()),
                        a.texture);
    benchmark::DoNotOptimize(light.data());
    t += 3.0f;
  }
}
BENCHMARK(BM_TexturedFrame)->Unit(benchmark::kMicrosecond);

// 1024 short rays, the masking and the long rays of the uncovered ones, the source wandering
// behind the logo as the scene moves it.
void BM_Rays(benchmark::State& state) {
  const LightMapAssets a = loaded().part.assets();
  std::vector<std::uint8_t> light(kFramePixels, 0);
  const MaskWindow window = a.mask.subspan<kMaskRestOffset, kFramePixels>();
  int t = 0;
  long long long_rays = 0, frames = 0;
  for (auto _ : state) {
    const int x = static_cast<int>(160 + 90 * std::sin(0.0145734997 * t));
    const int y = static_cast<int>(100 + 60 * std::cos(0.0166329882 * t));
    draw_rays(LightView(light.data(), light.size()), window, a.rays, x, y, a.ray_hits);
    benchmark::DoNotOptimize(light.data());
    for (const Ray& r : a.rays) long_rays += r.hidden == 0;
    ++frames;
    t = (t + 1) % 2000;
  }
  state.counters["long_rays"] = static_cast<double>(long_rays) / static_cast<double>(frames);
}
BENCHMARK(BM_Rays)->Unit(benchmark::kMicrosecond);

void BM_LensFlare(benchmark::State& state) {
  const LightMapAssets a = loaded().part.assets();
  std::vector<std::uint8_t> light(kFramePixels, 0);
  for (auto _ : state) {
    draw_lens_flare(LightView(light.data(), light.size()), a.flares, 100, 70, 220, 130);
    benchmark::DoNotOptimize(light.data());
  }
}
BENCHMARK(BM_LensFlare)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
