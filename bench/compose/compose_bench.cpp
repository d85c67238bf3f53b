// What the build runs every time: synthesising the band, writing the score, serialising.
#include <benchmark/benchmark.h>

#include "tools/compose/composition.h"
#include "tools/compose/instruments.h"
#include "tools/compose/xm_writer.h"

namespace {

void BM_SynthesiseBand(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(morvane::compose::make_instruments());
}
BENCHMARK(BM_SynthesiseBand)->Unit(benchmark::kMillisecond);

void BM_ComposeModule(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(morvane::compose::compose_module());
}
BENCHMARK(BM_ComposeModule)->Unit(benchmark::kMillisecond);

void BM_WriteModule(benchmark::State& state) {
  const auto module = morvane::compose::compose_module();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const auto out = morvane::xm::write_module(module);
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteModule)->Unit(benchmark::kMillisecond);

void BM_ComposeShortModule(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(morvane::xm::write_module(morvane::compose::compose_short_module()));
}
BENCHMARK(BM_ComposeShortModule)->Unit(benchmark::kMicrosecond);

}  // namespace
