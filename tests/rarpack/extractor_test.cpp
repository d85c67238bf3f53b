// Archives the packer writes, extracted by Debian's unar (an implementation of its own, so
// agreement with it speaks for the format) and by the project's own Archive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "archive/archive.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/rar_writer.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using Entries = std::vector<std::pair<std::string, Bytes>>;

Bytes read_file(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

int run(const std::string& command) { return std::system((command + " > /dev/null 2>&1").c_str()); }

class Extractors : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(MORVANE_BUILD_DIR) / "rarpack_extractor_test" / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }

  // Both extractors must return every entry's bytes unchanged.
  void check(const fs::path& archive, const Entries& entries) {
    const Archive ours(archive.string());
    for (const auto& [name, bytes] : entries) {
      const std::optional<Bytes> got = ours.extract(name);
      ASSERT_TRUE(got.has_value()) << name;
      EXPECT_TRUE(*got == bytes) << name << ": Archive gave " << got->size() << " of " << bytes.size() << " bytes";
    }
    if (run("unar -v") != 0) GTEST_SKIP() << "unar is not installed";
    const fs::path out = dir_ / ("unar-" + archive.stem().string());
    ASSERT_EQ(run("unar -D -q -o '" + out.string() + "' '" + archive.string() + "'"), 0) << archive;
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(out)) files += e.is_regular_file();
    EXPECT_EQ(files, entries.size());
    for (const auto& [name, bytes] : entries) EXPECT_TRUE(read_file(out / name) == bytes) << name << ": unar differs";
  }

  std::vector<EntryReport> pack(const std::string& file, bool solid, const Entries& entries, EntryMode mode = EntryMode::automatic) {
    RarWriter w;
    w.set_solid(solid);
    for (const auto& [name, bytes] : entries) w.add(name, bytes, mode);
    w.write_file(dir_ / file);
    check(dir_ / file, entries);
    return w.report();
  }

  fs::path dir_;
};

TEST_F(Extractors, EveryKindOfInput) {
  const Entries entries = {{"random.bin", test::random_bytes(30000, 1)}, {"text.txt", test::word_text(60000, 2)},
                           {"same.bin", Bytes(50000, 'x')},              {"records.dat", test::records(40000, 3)},
                           {"mixture.bin", test::mixture(150000, 4)},    {"wave1.raw", test::waves(30000, 1, 5)},
                           {"wave2.raw", test::waves(30000, 2, 6)},      {"wave3.raw", test::waves(30000, 3, 7)},
                           {"wave4.raw", test::waves(30000, 4, 8)},      {"one.bin", {77}},
                           {"empty", {}},                                {"dir/sub/two.bin", {1, 2}}};
  const std::vector<EntryReport> r = pack("kinds.rar", false, entries, EntryMode::packed);
  for (std::size_t c = 1; c <= 4; ++c) EXPECT_GE(r[4 + c].blocks.audio_blocks[c - 1], 1u) << c << " channels";
  pack("kinds-auto.rar", false, entries);
}

TEST_F(Extractors, SolidArchivesAndPictures) {
  Entries entries;
  for (std::uint32_t i = 0; i < 36; ++i) {
    Bytes b;
    switch (i % 6) {
      case 0: b = test::word_text(500 + 300 * i, i); break;
      case 1: b = test::waves(2000 + 100 * i, 1 + static_cast<int>(i % 4), i); break;
      case 2: b = test::records(3000, i); break;
      case 3: b = i % 4 == 3 ? Bytes{} : test::random_bytes(700, i); break;
      case 4: b = test::mixture(8000, i); break;
      case 5: b = entries[i - 5].second; break;  // a copy of an earlier entry
    }
    entries.push_back({"entry" + std::to_string(i), std::move(b)});
  }
  std::size_t packed = 0, size = 0;
  for (const EntryReport& e : pack("solid.rar", true, entries)) {
    packed += e.packed_size;
    size += e.size;
  }
  EXPECT_LT(packed, size / 3);

  const fs::path pcx = fs::path(MORVANE_TESTDATA_DIR) / "pcx";
  if (!fs::is_directory(pcx)) GTEST_SKIP() << "no test data in " << pcx;
  std::map<std::string, Bytes> sorted;  // directory order is not fixed
  for (const auto& e : fs::directory_iterator(pcx))
    if (e.path().extension() == ".pcx") sorted[e.path().filename().string()] = read_file(e.path());
  const Entries pictures(sorted.begin(), sorted.end());
  ASSERT_GE(pictures.size(), 5u);
  pack("pictures.rar", false, pictures);
  pack("pictures-solid.rar", true, pictures);
}

TEST_F(Extractors, InputOverOneMebibyteWrapsTheWindow) {
  // Noise, then a stretch that repeats it from the farthest distance the window allows.
  constexpr std::size_t kFar = (1u << 20) - 1;
  Bytes big = test::random_bytes(kFar + 60000, 9);
  for (std::size_t i = kFar; i < big.size(); ++i) big[i] = big[i - kFar];
  EXPECT_LT(pack("big.rar", false, {{"big.bin", big}}, EntryMode::packed)[0].packed_size, kFar + 1000);
}

TEST_F(Extractors, CommandPacksFilesAsNamed) {
  const fs::path tool = fs::path(MORVANE_BUILD_DIR) / "tools" / "rarpack" / "morvane-pack";
  const std::string cmd = "cd '" + dir_.string() + "' && '" + tool.string() + "'";
  const Entries entries = {{"pics/a.pcx", test::waves(20000, 3, 1)}, {"b.txt", test::word_text(9000, 2)}, {"c", {}}};
  fs::create_directories(dir_ / "pics");
  for (const auto& [name, bytes] : entries) std::ofstream(dir_ / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

  EXPECT_EQ(run(cmd + " --help"), 0);
  for (const char* refused : {" out.dat", " --fast out.dat b.txt", " out.dat missing.txt", " out.dat pics", " out.dat b.txt ./B.TXT"})
    EXPECT_NE(run(cmd + refused), 0) << refused;
  EXPECT_FALSE(fs::exists(dir_ / "out.dat"));
  ASSERT_EQ(run(cmd + " --solid solid.dat pics/a.pcx b.txt c"), 0);
  check(dir_ / "solid.dat", entries);
  ASSERT_EQ(run(cmd + " --store stored.dat pics/a.pcx b.txt c"), 0);
  check(dir_ / "stored.dat", entries);
  EXPECT_EQ(fs::file_size(dir_ / "stored.dat"), 7u + 13u + 3 * 32u + 10u + 5u + 1u + 29000u + 7u);
}

}  // namespace
}  // namespace morvane
