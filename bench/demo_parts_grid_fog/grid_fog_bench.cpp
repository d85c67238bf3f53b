// Per-frame drawing cost of scene 6 (everything but the present): whole wave and fog frames,
// then the grid fills, the interpolation and the blend alone.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "demo_parts/grid_fog/grid_fog_kernels.h"
#include "demo_parts/grid_fog/grid_fog_part.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

class NoisePictures : public PictureSource {
 public:
  void load_picture(std::string_view, std::span<std::uint8_t> pixels, std::span<std::uint8_t> palette) const override {
    std::mt19937 random(7);
    for (auto& p : pixels) p = static_cast<std::uint8_t>(random());
    for (auto& c : palette) c = static_cast<std::uint8_t>(random());
  }
};

using FrameView = std::span<Rgb565, kFramePixels>;

// Whole frames at a song position of the given order, one tick apart, over a minute of song.
void run_frames(benchmark::State& state, int order) {
  reset_demo_rand();
  GridFogPart part;
  part.load_from(NoisePictures());
  GridFogRun run(part.assets());
  std::vector<Rgb565> frame(kFramePixels);
  run.begin(FrameView(frame.data(), kFramePixels));
  float t = 0.0f;
  for (auto _ : state) {
    run.draw_frame(order, t, FrameView(frame.data(), kFramePixels));
    benchmark::DoNotOptimize(frame.data());
    t = t >= 4200.0f ? 0.0f : t + 1.0f;
  }
}

void BM_WaveFrame(benchmark::State& state) { run_frames(state, 30); }
BENCHMARK(BM_WaveFrame)->Unit(benchmark::kMicrosecond);

void BM_FogFrame(benchmark::State& state) { run_frames(state, 34); }
BENCHMARK(BM_FogFrame)->Unit(benchmark::kMicrosecond);

void BM_FillWaves(benchmark::State& state) {
  ColourGrid grid{};
  float t = 0.0f;
  for (auto _ : state) {
    fill_waves(grid, t);
    benchmark::DoNotOptimize(grid.data());
    t = t >= 4200.0f ? 0.0f : t + 1.0f;
  }
}
BENCHMARK(BM_FillWaves)->Unit(benchmark::kMicrosecond);

void BM_FillFog(benchmark::State& state) {
  reset_demo_rand();
  std::vector<ParticlePosition> positions(kFogParticles);
  std::vector<ParticleColour> colours(kFogParticles);
  draw_particles(ParticlePositions(positions.data(), kFogParticles), ParticleColours(colours.data(), kFogParticles));
  ColourGrid grid{};
  float t = 0.0f;
  for (auto _ : state) {
    fill_fog(grid, t, std::span<const ParticlePosition, kFogParticles>(positions.data(), kFogParticles),
             std::span<const ParticleColour, kFogParticles>(colours.data(), kFogParticles));
    benchmark::DoNotOptimize(grid.data());
    t = t >= 4200.0f ? 0.0f : t + 1.0f;
  }
}
BENCHMARK(BM_FillFog)->Unit(benchmark::kMicrosecond);

void BM_InterpolateGrid(benchmark::State& state) {
  ColourGrid grid{};
  fill_waves(grid, 123.0f);
  std::vector<Rgb565> image(kFramePixels);
  for (auto _ : state) {
    interpolate_grid(grid, FrameView(image.data(), kFramePixels));
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_InterpolateGrid)->Unit(benchmark::kMicrosecond);

void BM_BlendGrid(benchmark::State& state) {
  std::vector<Rgb565> frame(kFramePixels, 0xFFFF);
  std::vector<Rgb565> image(kFramePixels, 0x1234);
  std::vector<Rgb565> background(kFramePixels, 0x3333);
  for (auto _ : state) {
    blend_grid(FrameView(frame.data(), kFramePixels), std::span<const Rgb565, kFramePixels>(image.data(), kFramePixels),
               std::span<const Rgb565, kFramePixels>(background.data(), kFramePixels));
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_BlendGrid)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
