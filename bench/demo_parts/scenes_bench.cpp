// Per-frame drawing cost of scenes 1, 4 and 5 (everything but the present), on pictures of
// noise so that no lookup pattern is friendlier than real art.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "demo_parts/flashes/flashes_part.h"
#include "demo_parts/opening/opening_part.h"
#include "demo_parts/tunnel/tunnel_part.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

class NoisePictures : public PictureSource {
 public:
  void load_picture(std::string_view name, std::span<std::uint8_t> pixels, std::span<std::uint8_t> palette) const override {
    std::mt19937 random(static_cast<unsigned>(std::hash<std::string_view>{}(name)));
    // Shade values of the tunnel stay within 0..55; the sprite is a soft dot.
    const unsigned limit = name == "shades.pcx" ? 56 : (name == "sprott.pcx" ? 24 : 256);
    for (auto& p : pixels) p = static_cast<std::uint8_t>(random() % limit);
    for (auto& c : palette) c = static_cast<std::uint8_t>(random());
  }
};

std::vector<Rgb565> frame_buffer() { return std::vector<Rgb565>(kFramePixels); }

void BM_OpeningFrame(benchmark::State& state) {
  reset_demo_rand();
  OpeningPart part;
  part.load_from(NoisePictures());
  OpeningRun run(part.assets());
  auto frame = frame_buffer();
  const int order = static_cast<int>(state.range(0));
  // Order 4 stamps 1012 points; order 9 long after the last command stamps 2024.
  // Order 4 keeps the gate open for its first 400 ticks: the times cycle through 100..300.
  run.draw_frame(order, 0.0f, std::nullopt, std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels));
  float t = 0.0f;
  for (auto _ : state) {
    run.draw_frame(order, 100.0f + t, std::nullopt, std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels));
    benchmark::DoNotOptimize(frame.data());
    t = t >= 200.0f ? 0.0f : t + 1.0f;
  }
  state.counters["cloud_gate"] = run.schedule().cloud_gate;
}
BENCHMARK(BM_OpeningFrame)->Arg(4)->Arg(9)->Unit(benchmark::kMicrosecond);

// The opening frame's parts: the in-place blur is one serial chain of 15839 word steps.
void BM_GlowBlur(benchmark::State& state) {
  std::vector<std::uint8_t> glow(kFramePixels);
  std::mt19937 random(3);
  for (auto& g : glow) g = static_cast<std::uint8_t>(random() % 64);
  for (auto _ : state) {
    blur_glow(GlowView(glow.data(), kFramePixels));
    benchmark::DoNotOptimize(glow.data());
  }
}
BENCHMARK(BM_GlowBlur)->Unit(benchmark::kMicrosecond);

void BM_CloudStamp(benchmark::State& state) {
  reset_demo_rand();
  OpeningPart part;
  part.load_from(NoisePictures());
  const OpeningAssets assets = part.assets();
  float t = 0.0f;
  for (auto _ : state) {
    stamp_cloud(assets.glow, assets.sprite, assets.points, cloud_transform(t, kCloudPoints));
    benchmark::DoNotOptimize(assets.glow.data());
    t += 1.0f;
  }
}
BENCHMARK(BM_CloudStamp)->Unit(benchmark::kMicrosecond);

void BM_FlashFrame(benchmark::State& state) {
  FlashesPart part;
  part.load_from(NoisePictures());
  FlashRun run(part.assets());
  auto frame = frame_buffer();
  float t = 0.0f;
  for (auto _ : state) {
    run.draw_frame(t, false, std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels));
    benchmark::DoNotOptimize(frame.data());
    t += 0.25f;
  }
}
BENCHMARK(BM_FlashFrame)->Unit(benchmark::kMicrosecond);

void BM_TunnelFrame(benchmark::State& state) {
  TunnelPart part;
  part.load_from(NoisePictures());
  TunnelRun run(part.assets());
  auto frame = frame_buffer();
  float t = 0.0f;
  for (auto _ : state) {
    run.draw_frame(t, std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels));
    benchmark::DoNotOptimize(frame.data());
    t += 1.0f;
  }
}
BENCHMARK(BM_TunnelFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
