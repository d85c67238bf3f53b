// Show start-up. BM_ShowLoads: the seven scenes loaded in the driver's construction order from
// the build's morvane.dat through one Archive, as the player does (their own tables included);
// counter "decoded_kb" is what the decoder produced, which should equal the archive's unpacked
// size. BM_ShowStartupProcess: the figure as a user sees it, `morvane-capture --to 0.1` minus
// `morvane-capture --help`, as child CPU time (counter wall_ms: the same in wall time).
// BM_ShowPictureDecode: the PCX decoding alone of every picture in the data file, each into a
// 320 x 200 buffer with its palette (counter pixels_mb: pixels written per iteration).
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/pcx_decoder.h"
#include "bench/archive/timed_command.h"
#include "core/demo_part.h"
#include "demo_parts/demo_parts.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

const std::string kBuild = MORVANE_BUILD_DIR;
constexpr std::array<int, 7> kConstructionOrder = {1, 2, 3, 4, 6, 5, 7};

void BM_ShowLoads(benchmark::State& state) {
  const std::string data = kBuild + "/morvane.dat";
  if (!fs::exists(data)) {
    state.SkipWithError("build the stand-in data first (target standin_data)");
    return;
  }
  std::uint64_t decoded = 0;
  for (auto _ : state) {
    std::array<std::unique_ptr<DemoPart>, 7> parts;
    const Archive archive(data);
    for (int position : kConstructionOrder) {
      parts[static_cast<std::size_t>(position - 1)] = make_demo_part(position);
      parts[static_cast<std::size_t>(position - 1)]->load(archive);
    }
    decoded = archive.decoded_bytes();
    state.PauseTiming();
    for (auto& part : parts) part->teardown();
    parts = {};
    state.ResumeTiming();
  }
  state.counters["decoded_kb"] = static_cast<double>(decoded) / 1024;
}
BENCHMARK(BM_ShowLoads)->Unit(benchmark::kMillisecond);

void BM_ShowPictureDecode(benchmark::State& state) {
  const Archive archive(kBuild + "/morvane.dat");
  const auto listing = archive.list();
  if (!listing) {
    state.SkipWithError("build the stand-in data first (target standin_data)");
    return;
  }
  std::vector<std::vector<std::uint8_t>> files;
  for (const ArchiveEntry& entry : listing->entries) {
    if (entry.name.ends_with(".pcx")) files.push_back(archive.load_raw_file(entry.name));
  }
  std::vector<std::uint8_t> pixels(64000);
  std::array<std::uint8_t, 768> palette{};
  for (auto _ : state) {
    for (const auto& file : files) decode_pcx(file, pixels, palette);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["pixels_mb"] = static_cast<double>(files.size() * pixels.size()) / 1e6;
}
BENCHMARK(BM_ShowPictureDecode)->Unit(benchmark::kMillisecond);

void BM_ShowStartupProcess(benchmark::State& state) {
  const std::string capture = kBuild + "/tools/capture/morvane-capture";
  double wall = 0;
  for (auto _ : state) {
    const auto help = bench::run_command({capture, "--help"});
    const auto show = bench::run_command({capture, "--data", kBuild, "--to", "0.1", "--quiet"});
    if (help.exit_status != 0 || show.exit_status != 0) {
      state.SkipWithError("morvane-capture failed (build it and the stand-in data and music)");
      return;
    }
    state.SetIterationTime(std::max(0.0, show.cpu_seconds - help.cpu_seconds));
    wall += show.wall_seconds - help.wall_seconds;
  }
  state.counters["wall_ms"] = 1e3 * wall / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ShowStartupProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
}  // namespace morvane
