// Per-frame drawing cost of scene 7 (everything but the present), on pictures of noise so that
// no lookup pattern is friendlier than real art, and of its kernels one by one.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "demo_parts/finale/finale_part.h"

namespace morvane {
namespace {

class NoisePictures : public PictureSource {
 public:
  void load_picture(std::string_view name, std::span<std::uint8_t> pixels, std::span<std::uint8_t> palette) const override {
    std::mt19937 random(static_cast<unsigned>(std::hash<std::string_view>{}(name)));
    // Light levels stay within 0..63 like the show's pictures.
    const unsigned limit = name.starts_with("light") ? 64 : 256;
    for (auto& p : pixels) p = static_cast<std::uint8_t>(random() % limit);
    for (auto& c : palette) c = static_cast<std::uint8_t>(random());
  }
};

// Loaded once: the ripple table alone takes longer to build than many frames.
const FinalePart& loaded_part() {
  static const std::unique_ptr<FinalePart> part = [] {
    auto p = std::make_unique<FinalePart>();
    p->load_from(NoisePictures());
    return p;
  }();
  return *part;
}

// A whole frame after the commands that pick the colour effect (range 0) and the light effect
// (range 1); from order 52 on, with bars and the closing line, and the overlay shown.
void BM_FinaleFrame(benchmark::State& state) {
  const FinaleAssets assets = loaded_part().assets();
  FinaleRun run(assets);
  std::vector<Rgb565> frame(kFramePixels);
  const FrameView pixels(frame.data(), kFramePixels);
  run.draw_frame(44, 0.0f, static_cast<std::uint8_t>(state.range(0)), pixels);
  run.draw_frame(52, 1.0f, static_cast<std::uint8_t>(state.range(1)), pixels);
  float t = 2.0f;
  for (auto _ : state) {
    run.draw_frame(52, t, std::nullopt, pixels);
    benchmark::DoNotOptimize(frame.data());
    t = t >= 4000.0f ? 2.0f : t + 1.0f;
  }
}
BENCHMARK(BM_FinaleFrame)
    ->ArgNames({"colour", "light"})
    ->Args({240, 177})
    ->Args({241, 178})
    ->Args({242, 179})
    ->Unit(benchmark::kMicrosecond);

void BM_MappedLayer(benchmark::State& state) {
  const FinaleAssets assets = loaded_part().assets();
  float t = 0.0f;
  for (auto _ : state) {
    draw_mapped_layer(assets.textures[0], colour_offset(t), assets.tunnel, assets.colour);
    benchmark::DoNotOptimize(assets.colour.data());
    t += 1.0f;
  }
}
BENCHMARK(BM_MappedLayer)->Unit(benchmark::kMicrosecond);

void BM_WavePage(benchmark::State& state) {
  const FinaleAssets assets = loaded_part().assets();
  float t = 0.0f;
  for (auto _ : state) {
    build_wave_page(assets.textures[0], interference_k(t, t * 0.0026785714f), t, assets.page);
    benchmark::DoNotOptimize(assets.page.data());
    t += 1.0f;
  }
}
BENCHMARK(BM_WavePage)->Unit(benchmark::kMicrosecond);

void BM_Interference(benchmark::State& state) {
  const FinaleAssets assets = loaded_part().assets();
  float t = 0.0f;
  for (auto _ : state) {
    draw_interference(assets.ripple, ripple_windows(t), assets.page, assets.colour);
    benchmark::DoNotOptimize(assets.colour.data());
    t += 1.0f;
  }
}
BENCHMARK(BM_Interference)->Unit(benchmark::kMicrosecond);

void BM_CombineLayers(benchmark::State& state) {
  const FinaleAssets assets = loaded_part().assets();
  for (auto _ : state) {
    combine_layers(assets.shades[0], 6, assets.light, assets.colour, assets.intermediate);
    benchmark::DoNotOptimize(assets.intermediate.data());
  }
}
BENCHMARK(BM_CombineLayers)->Unit(benchmark::kMicrosecond);

void BM_Overlay(benchmark::State& state) {
  const FinaleAssets assets = loaded_part().assets();
  std::vector<Rgb565> frame(kFramePixels);
  int scroll = 0;
  for (auto _ : state) {
    draw_overlay(assets.overlay, scroll, FrameView(frame.data(), kFramePixels));
    benchmark::DoNotOptimize(frame.data());
    scroll = scroll >= 50000 ? 0 : scroll + 540;
  }
}
BENCHMARK(BM_Overlay)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
