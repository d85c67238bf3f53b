// Packing speed and ratio (counter "ratio_pct": packed size in percent of the input) for text,
// pictures, smooth waves and noise, and the speed of the encoder's parts.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/audio_encoder.h"
#include "tools/rarpack/crc32.h"
#include "tools/rarpack/huffman_lengths.h"
#include "tools/rarpack/lz_parser.h"
#include "tools/rarpack/rar_writer.h"
#include "tools/rarpack/table_writer.h"

namespace {

namespace fs = std::filesystem;
using morvane::test::Bytes;

Bytes read_file(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// The licence texts every Debian system has (about 300 KB of English), else generated words.
const std::vector<std::pair<std::string, Bytes>>& text_corpus() {
  static const auto corpus = [] {
    std::map<std::string, Bytes> files;
    const fs::path dir = "/usr/share/common-licenses";
    if (fs::is_directory(dir))
      for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file()) files[e.path().filename().string()] = read_file(e.path());
    if (files.empty()) files["words.txt"] = morvane::test::word_text(300000, 1);
    return std::vector<std::pair<std::string, Bytes>>(files.begin(), files.end());
  }();
  return corpus;
}

// PCX pictures: the stand-in data when it has been generated, else the third-party samples.
const std::vector<std::pair<std::string, Bytes>>& pictures() {
  static const auto files = [] {
    std::map<std::string, Bytes> found;
    for (const fs::path& dir : {fs::path(MORVANE_BUILD_DIR) / "standin", fs::path(MORVANE_TESTDATA_DIR) / "pcx"}) {
      if (!fs::is_directory(dir)) continue;
      for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".pcx") found[e.path().filename().string()] = read_file(e.path());
      if (!found.empty()) break;
    }
    return std::vector<std::pair<std::string, Bytes>>(found.begin(), found.end());
  }();
  return files;
}

void pack_archive(benchmark::State& state, const std::vector<std::pair<std::string, Bytes>>& entries, bool solid) {
  if (entries.empty()) {
    state.SkipWithError("no input files");
    return;
  }
  std::size_t in = 0, out = 0;
  for (auto _ : state) {
    morvane::RarWriter w;
    w.set_solid(solid);
    for (const auto& [name, bytes] : entries) w.add(name, bytes);
    const Bytes archive = w.write();
    benchmark::DoNotOptimize(archive.data());
    in = out = 0;
    for (const morvane::EntryReport& r : w.report()) {
      in += r.size;
      out += r.packed_size;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in));
  state.counters["ratio_pct"] = 100.0 * static_cast<double>(out) / static_cast<double>(in);
  state.counters["input_bytes"] = static_cast<double>(in);
}

void BM_PackTextCorpus(benchmark::State& state) { pack_archive(state, text_corpus(), state.range(0)); }
BENCHMARK(BM_PackTextCorpus)->Arg(0)->Arg(1)->ArgName("solid")->Unit(benchmark::kMillisecond);

void BM_PackPictures(benchmark::State& state) { pack_archive(state, pictures(), state.range(0)); }
BENCHMARK(BM_PackPictures)->Arg(0)->Arg(1)->ArgName("solid")->Unit(benchmark::kMillisecond);

void BM_PackWaves(benchmark::State& state) {
  pack_archive(state, {{"waves", morvane::test::waves(1 << 18, static_cast<int>(state.range(0)), 1)}}, false);
}
BENCHMARK(BM_PackWaves)->Arg(1)->Arg(4)->ArgName("channels")->Unit(benchmark::kMillisecond);

void BM_PackNoise(benchmark::State& state) {
  pack_archive(state, {{"noise", morvane::test::random_bytes(1 << 18, 2)}}, false);
}
BENCHMARK(BM_PackNoise)->Unit(benchmark::kMillisecond);

void BM_LzParse(benchmark::State& state) {
  const Bytes text = morvane::test::word_text(1 << 18, 3);
  for (auto _ : state) {
    morvane::MatchFinder finder(text.size(), 48);
    morvane::LzState lz;
    std::vector<morvane::CodedSymbol> out;
    morvane::parse_lz(text, 0, text.size(), finder, lz, morvane::LzPrices::flat(), out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LzParse)->Unit(benchmark::kMillisecond);

void BM_AudioEncode(benchmark::State& state) {
  const Bytes in = morvane::test::waves(1 << 18, 4, 4);
  std::vector<morvane::CodedSymbol> out;
  for (auto _ : state) {
    morvane::AudioModel model;
    out.clear();
    morvane::encode_audio(in, 4, model, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_AudioEncode);

void BM_CodeLengths(benchmark::State& state) {
  std::mt19937 rng(5);
  std::vector<std::uint32_t> counts(298);
  for (auto& c : counts) c = rng() % 3 ? rng() % 5000 : 0;
  std::vector<std::uint8_t> lengths(counts.size());
  for (auto _ : state) {
    morvane::build_code_lengths(counts, 15, lengths);
    benchmark::DoNotOptimize(lengths.data());
  }
}
BENCHMARK(BM_CodeLengths);

void BM_PlanAudioTables(benchmark::State& state) {
  std::mt19937 rng(6);
  std::vector<std::uint8_t> lengths(4 * 257);
  for (auto& l : lengths) l = rng() % 4 ? static_cast<std::uint8_t>(4 + rng() % 8) : 0;
  for (auto _ : state) benchmark::DoNotOptimize(morvane::plan_table_transmission(lengths, {}, 4).bits);
}
BENCHMARK(BM_PlanAudioTables);

void BM_Crc32(benchmark::State& state) {
  const Bytes in = morvane::test::random_bytes(1 << 20, 7);
  for (auto _ : state) benchmark::DoNotOptimize(morvane::crc32(in));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_Crc32);

}  // namespace
