// Unpacker throughput (the start-up cost of every lookup in a solid archive), Huffman table
// builds, one lookup in a 2 MB solid archive, and PCX decoding.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "archive/archive.h"
#include "archive/byte_reader.h"
#include "archive/entry_name.h"
#include "archive/pcx_decoder.h"
#include "archive/rar20_unpacker.h"
#include "archive/rar_container.h"
#include "tests/archive/testdata.h"
#include "tests/rarpack/sample_data.h"
#include "archive/huffman_table.h"
#include "tools/rarpack/huffman_lengths.h"
#include "tools/rarpack/rar20_encoder.h"
#include "tools/rarpack/rar_writer.h"

namespace morvane {
namespace {

struct PackedEntry {
  std::vector<std::uint8_t> data;
  std::uint32_t unp_size = 0;
};

// The packed bytes of one entry of a real archive from the test data.
PackedEntry real_entry(const std::string& file, const std::string& name) {
  PackedEntry entry;
  const std::string path = std::string(MORVANE_TESTDATA_DIR) + "/rar/" + file;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return entry;
  RarContainer archive(f);
  if (archive.read_start()) {
    for (auto block = archive.next_block(); block && block->type == kFileBlock; block = archive.next_block()) {
      if (entry_names_match(block->name, name) && archive.seek(block->data_start())) {
        entry.data.resize(block->pack_size);
        entry.data.resize(std::fread(entry.data.data(), 1, entry.data.size(), f));
        entry.unp_size = block->unp_size;
        break;
      }
      archive.seek(block->next);
    }
  }
  std::fclose(f);
  return entry;
}

void unpack_repeatedly(benchmark::State& state, const PackedEntry& entry) {
  if (entry.data.empty()) {
    state.SkipWithError("test data missing");
    return;
  }
  Rar20Unpacker unpacker;
  std::vector<std::uint8_t> out;
  out.reserve(entry.unp_size);
  for (auto _ : state) {
    out.clear();
    MemoryReader reader(entry.data);
    unpacker.unpack(reader, entry.unp_size, false, &out);
    benchmark::DoNotOptimize(out.data());
  }
  if (out.size() != entry.unp_size) state.SkipWithError("wrong output size");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * entry.unp_size);
}

void BM_UnpackRealLz374k(benchmark::State& state) {
  static const PackedEntry entry = real_entry("rar20_jpg374k.rar", "G070-Cliff\\image.jpg");
  unpack_repeatedly(state, entry);
}
BENCHMARK(BM_UnpackRealLz374k)->Unit(benchmark::kMillisecond);

void BM_UnpackRealAudio99k(benchmark::State& state) {
  static const PackedEntry entry = real_entry("rar20_mm_mono.rar", "1.M");
  unpack_repeatedly(state, entry);
}
BENCHMARK(BM_UnpackRealAudio99k)->Unit(benchmark::kMillisecond);

PackedEntry generated(const std::vector<std::uint8_t>& data) {
  PackedEntry entry;
  entry.data = Rar20Encoder({}, data.size()).encode(data, true, false);
  entry.unp_size = static_cast<std::uint32_t>(data.size());
  return entry;
}

void BM_UnpackGeneratedLz4M(benchmark::State& state) {
  static const PackedEntry entry = generated(test::word_text(4 << 20, 1));
  unpack_repeatedly(state, entry);
  state.counters["ratio"] = static_cast<double>(entry.data.size()) / entry.unp_size;
}
BENCHMARK(BM_UnpackGeneratedLz4M)->Unit(benchmark::kMillisecond);

void BM_UnpackGeneratedAudio4M(benchmark::State& state) {
  static const PackedEntry entry = generated(test::waves(4 << 20, 2, 1));
  unpack_repeatedly(state, entry);
  state.counters["ratio"] = static_cast<double>(entry.data.size()) / entry.unp_size;
}
BENCHMARK(BM_UnpackGeneratedAudio4M)->Unit(benchmark::kMillisecond);

// The three tables of one LZ table transmission, built from the code lengths of skewed symbol
// counts: the work every entry start and every new-tables symbol costs.
void BM_BuildLzTables(benchmark::State& state) {
  std::vector<std::uint8_t> lengths;
  for (const std::size_t size : {298u, 48u, 28u}) {
    std::vector<std::uint32_t> counts(size);
    for (std::size_t s = 0; s < size; ++s) counts[s] = static_cast<std::uint32_t>(100000 / (1 + (s * 7) % size));
    std::vector<std::uint8_t> table(size);
    build_code_lengths(counts, 15, table);
    lengths.insert(lengths.end(), table.begin(), table.end());
  }
  const std::span<const std::uint8_t> all(lengths);
  std::array<HuffmanTable, 3> tables;
  for (auto _ : state) {
    tables[0].build(all.first(298));
    tables[1].build(all.subspan(298, 48));
    tables[2].build(all.subspan(346, 28));
    benchmark::DoNotOptimize(tables.data());
  }
}
BENCHMARK(BM_BuildLzTables)->Unit(benchmark::kNanosecond);

// 2 MB in 16 solid entries (text and 2-channel sound); the lookup of the last one unpacks them all.
struct SolidArchive {
  std::unique_ptr<test::TempFile> file;
  std::size_t last_size = 0;
};
const SolidArchive& solid_archive() {
  static const SolidArchive archive = [] {
    SolidArchive a;
    RarWriter writer;
    writer.set_solid(true);
    for (int i = 0; i < 16; ++i) {
      const auto seed = static_cast<std::uint32_t>(i);
      auto data = i % 4 == 3 ? test::waves(128 << 10, 2, seed) : test::word_text(128 << 10, seed);
      a.last_size = data.size();
      writer.add("entry" + std::to_string(i) + ".bin", std::move(data), EntryMode::packed);
    }
    a.file = std::make_unique<test::TempFile>(writer.write());
    return a;
  }();
  return archive;
}

void BM_LookupLastEntryOfSolid2M(benchmark::State& state) {
  const SolidArchive& a = solid_archive();
  const Archive archive(a.file->path());
  for (auto _ : state) {
    const auto bytes = archive.extract("ENTRY15.BIN");
    if (!bytes || bytes->size() != a.last_size) state.SkipWithError("lookup failed");
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 16 * (128 << 10));
}
BENCHMARK(BM_LookupLastEntryOfSolid2M)->Unit(benchmark::kMillisecond);

void BM_DecodePcx320x200(benchmark::State& state) {
  const std::string path = std::string(MORVANE_TESTDATA_DIR) + "/pcx/mysha.pcx";
  std::vector<std::uint8_t> file(70000);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    state.SkipWithError("test data missing");
    return;
  }
  file.resize(std::fread(file.data(), 1, file.size(), f));
  std::fclose(f);
  std::vector<std::uint8_t> pixels(64000);
  std::array<std::uint8_t, 768> palette{};
  for (auto _ : state) {
    decode_pcx(file, pixels, palette);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 64000);
}
BENCHMARK(BM_DecodePcx320x200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane
