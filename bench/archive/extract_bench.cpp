// Extraction of big entries, LZ text and multimedia sound, as a user runs it: `morvane-dat
// extract` against Debian's `unar` on the same archive in the same run (the anchor). Time is the
// child's CPU time (user + system); counters: MB/s of both, "vs_unar" (how many times faster),
// and wall milliseconds. The archives are packed once with the project's packer and kept under
// the build directory. The decoder alone, in process and into a sink that drops the bytes, is
// BM_DecodeEntry.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "bench/archive/timed_command.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/rar_writer.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

struct BigEntry {
  const char* name;
  bool sound;  // 2-channel waves (multimedia mode), else word text (LZ)
  std::size_t megabytes;
};

constexpr BigEntry kEntries[] = {
    {"text1m.txt", false, 1},   {"text8m.txt", false, 8},   {"text28m.txt", false, 28},
    {"sound4m.raw", true, 4},   {"sound38m.raw", true, 38},
};

// The one-entry archive of kEntries[index], packed on first use.
fs::path archive_of(std::size_t index) {
  const BigEntry& e = kEntries[index];
  const fs::path path = bench::scratch_dir() / (std::string(e.name) + ".rar");
  if (fs::exists(path)) return path;
  const std::size_t size = e.megabytes << 20;
  RarWriter writer;
  writer.add(e.name, e.sound ? test::waves(size, 2, 7) : test::word_text(size, 7), EntryMode::packed);
  const fs::path partial = path.string() + ".part";
  writer.write_file(partial);
  fs::rename(partial, path);
  return path;
}

double megabytes_per_second(std::size_t bytes, double seconds) {
  return seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0;
}

void BM_ExtractVsUnar(benchmark::State& state) {
  const auto index = static_cast<std::size_t>(state.range(0));
  const BigEntry& e = kEntries[index];
  const std::size_t size = e.megabytes << 20;
  const fs::path archive = archive_of(index);
  const fs::path out_dir = bench::scratch_dir() / "out";
  fs::create_directories(out_dir);
  const fs::path ours = out_dir / "ours.bin";
  const fs::path theirs = out_dir / e.name;
  const std::string tool = std::string(MORVANE_BUILD_DIR) + "/tools/morvane_dat/morvane-dat";
  state.SetLabel(std::string(e.name) + (e.sound ? " multimedia" : " LZ"));

  double our_cpu = 0, their_cpu = 0, our_wall = 0, their_wall = 0;
  for (auto _ : state) {
    const auto mine = bench::run_command({tool, "extract", archive.string(), e.name, ours.string()});
    const auto unar = bench::run_command({"unar", "-q", "-f", "-D", "-o", out_dir.string(), archive.string()});
    if (mine.exit_status != 0 || fs::file_size(ours) != size) {
      state.SkipWithError("morvane-dat extract failed");
      return;
    }
    if (unar.exit_status != 0 || !fs::exists(theirs) || fs::file_size(theirs) != size) {
      state.SkipWithError("unar failed or is not installed");
      return;
    }
    state.SetIterationTime(mine.cpu_seconds);
    our_cpu += mine.cpu_seconds;
    their_cpu += unar.cpu_seconds;
    our_wall += mine.wall_seconds;
    their_wall += unar.wall_seconds;
  }
  const auto n = static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  state.counters["MBps"] = megabytes_per_second(size, our_cpu / n);
  state.counters["unar_MBps"] = megabytes_per_second(size, their_cpu / n);
  state.counters["vs_unar"] = our_cpu > 0 ? their_cpu / our_cpu : 0;
  state.counters["wall_ms"] = 1e3 * our_wall / n;
  state.counters["unar_wall_ms"] = 1e3 * their_wall / n;
  fs::remove(ours);
  fs::remove(theirs);
}
BENCHMARK(BM_ExtractVsUnar)->DenseRange(0, std::size(kEntries) - 1)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

class DroppingSink final : public ByteSink {
 public:
  void write(std::span<const std::uint8_t> chunk) override {
    benchmark::DoNotOptimize(chunk.data());
    bytes += chunk.size();
  }
  std::size_t bytes = 0;
};

void BM_DecodeEntry(benchmark::State& state) {
  const auto index = static_cast<std::size_t>(state.range(0));
  const BigEntry& e = kEntries[index];
  const Archive archive(archive_of(index).string());
  state.SetLabel(std::string(e.name) + (e.sound ? " multimedia" : " LZ"));
  for (auto _ : state) {
    DroppingSink sink;
    archive.extract_to(e.name, sink);
    if (sink.bytes != e.megabytes << 20) state.SkipWithError("wrong size");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (e.megabytes << 20)));
}
BENCHMARK(BM_DecodeEntry)->DenseRange(0, std::size(kEntries) - 1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
