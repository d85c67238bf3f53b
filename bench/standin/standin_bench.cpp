// The generator's costly steps: the build regenerates the data file whenever the generator
// changes, and the whole run is meant to stay within a few seconds.
#include <benchmark/benchmark.h>

#include "tools/standin/asset_table.h"
#include "tools/standin/data_file.h"
#include "tools/standin/flight_scene.h"
#include "tools/standin/font.h"
#include "tools/standin/noise.h"
#include "tools/standin/pcx_writer.h"
#include "tools/standin/quantizer.h"

namespace morvane::standin {
namespace {

RgbImage test_picture() {
  RgbImage img(320, 200);
  fill(img, [](float x, float y) {
    const float n = fbm(x / 40.0f, y / 40.0f, 64, 64, 4, 0.5f, 1u);
    return Rgb{n, x / 320.0f, y / 200.0f};
  });
  return img;
}

void BM_EncodePcx(benchmark::State& state) {
  const IndexedImage img = quantize(test_picture());
  for (auto _ : state) benchmark::DoNotOptimize(encode_pcx(img));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 64000);
}
BENCHMARK(BM_EncodePcx);

void BM_Quantize320x200(benchmark::State& state) {
  const RgbImage img = test_picture();
  for (auto _ : state) benchmark::DoNotOptimize(quantize(img, {.dither = 0.5f}));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 64000);
}
BENCHMARK(BM_Quantize320x200)->Unit(benchmark::kMillisecond);

void BM_Fbm5Octaves(benchmark::State& state) {
  float x = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fbm(x, 0.37f * x, 64, 64, 5, 0.5f, 3u));
    x += 0.013f;
  }
}
BENCHMARK(BM_Fbm5Octaves);

void BM_RenderTitleText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_text("Morvane", 320, 200, 17.0f, 58.0f, 7.0f));
}
BENCHMARK(BM_RenderTitleText)->Unit(benchmark::kMillisecond);

void BM_FlightSceneWithOrdering(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(flight_scene());
}
BENCHMARK(BM_FlightSceneWithOrdering)->Unit(benchmark::kMillisecond);

void BM_GenerateAllEntries(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(generate_all());
}
BENCHMARK(BM_GenerateAllEntries)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PackDataFile(benchmark::State& state) {
  const GeneratedData data = generate_all();
  for (auto _ : state) benchmark::DoNotOptimize(pack_data_file(data.entries));
}
BENCHMARK(BM_PackDataFile)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace morvane::standin
