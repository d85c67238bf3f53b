// Real RAR 1.5-2.x archives made by other programs: every entry we can decode must come out
// with the digest an independent extractor (or the CRC-checked analysis decoder) recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "archive/archive.h"
#include "tests/archive/sha256.h"
#include "tests/archive/testdata.h"

namespace morvane {
namespace {

using test::read_manifest;
using test::sha256_hex;
using test::testdata_dir;
using test::unescape_name;

class RealArchives : public ::testing::Test {
 protected:
  void SetUp() override {
    rows_ = read_manifest(dir() / "MANIFEST.tsv");
    if (rows_.empty()) GTEST_SKIP() << "no test data in " << dir();
  }
  static std::filesystem::path dir() { return testdata_dir() / "rar"; }
  static Archive archive(const std::string& file) { return Archive((dir() / file).string()); }

  // Rows whose entry lies whole in its archive and has a digest to compare with.
  bool decodable(const std::map<std::string, std::string>& row) const {
    const int version = std::stoi(row.at("unp_ver"));
    return version >= 13 && version <= 20 && row.at("extracted_sha256").size() == 64 &&
           row.at("file").find("_vol.") == std::string::npos && row.at("file").rfind("rar15_", 0) != 0;
  }

  void expect_entry(const std::string& file, const std::string& name) {
    for (const auto& row : rows_) {
      if (row.at("file") != file || row.at("entry_name") != name) continue;
      const auto bytes = archive(file).extract(unescape_name(name));
      ASSERT_TRUE(bytes.has_value()) << file << ": " << name;
      EXPECT_EQ(bytes->size(), std::stoul(row.at("unp_size"))) << file << ": " << name;
      EXPECT_EQ(sha256_hex(*bytes), row.at("extracted_sha256")) << file << ": " << name;
      return;
    }
    FAIL() << name << " is not in the manifest of " << file;
  }

  std::vector<std::map<std::string, std::string>> rows_;
};

TEST_F(RealArchives, EveryDecodableEntryMatchesItsDigest) {
  int checked = 0, without_unar = 0;
  for (const auto& row : rows_) {
    if (!decodable(row)) continue;
    SCOPED_TRACE(row.at("file") + ": " + row.at("entry_name"));
    const auto bytes = archive(row.at("file")).extract(unescape_name(row.at("entry_name")));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), std::stoul(row.at("unp_size")));
    EXPECT_EQ(sha256_hex(*bytes), row.at("extracted_sha256"));
    ++checked;
    if (row.at("expected_from") == "tracer+crc") ++without_unar;
  }
  EXPECT_GE(checked, 110);
  EXPECT_EQ(without_unar, 20) << "the 87-entry archive's entries that unar cannot extract";
}

TEST_F(RealArchives, MultimediaEntries) {
  expect_entry("rar20_mm_mono.rar", "1.M");                       // 1 channel, 7 audio blocks
  expect_entry("rar20_wav_audio.rar", "BoatModernEnglish.wav");  // 2 channels
  expect_entry("rar20_methods.rar", "pMM.bin");                   // 3 channels
}

TEST_F(RealArchives, SolidSecondEntryNeedsTheFirst) {
  expect_entry("rar20_solid.rar", "p5_solid.bin");
  expect_entry("rar20_solid.rar", "p5.bin");
}

TEST_F(RealArchives, HeadersWithCommentsAndLongestEntry) {
  expect_entry("rar20_comment_stored.rar", "FILE1.TXT");  // comment inside the file header
  expect_entry("rar20_comment_stored.rar", "FILE2.TXT");
  expect_entry("rar20_jpg374k.rar", "G070-Cliff\\image.jpg");
  expect_entry("rar20_wr28.rar", "jpg\\test.jpg");
}

TEST_F(RealArchives, EntryNamesMatchAcrossSeparatorsAndCase) {
  const Archive a = archive("rar20_wr28.rar");
  const auto original = a.extract("exe\\test.exe");
  ASSERT_TRUE(original.has_value());
  EXPECT_EQ(a.extract("EXE/TEST.EXE"), original);
  EXPECT_EQ(a.extract("exe_Test.exe"), original);
  EXPECT_FALSE(a.extract("exe.test.exe").has_value());
  EXPECT_FALSE(a.extract("test.exe").has_value());
}

TEST_F(RealArchives, OlderMethodEntriesAreFoundAndDoNotCrash) {
  // Version 15 lies in 13..20 but uses another method: the bytes are not right, only safe.
  for (const auto& row : rows_) {
    if (row.at("unp_ver") != "15" || row.at("unp_size") == "0") continue;
    SCOPED_TRACE(row.at("file") + ": " + row.at("entry_name"));
    const auto bytes = archive(row.at("file")).extract(unescape_name(row.at("entry_name")));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_LE(bytes->size(), std::stoul(row.at("unp_size")));
  }
}

TEST_F(RealArchives, VolumesHoldOnlyTheirPartOfSplitEntries) {
  const auto whole = archive("rar20_wr28.rar").extract("exe\\test.exe");
  ASSERT_TRUE(whole.has_value());
  // The first volume holds the start of the packed data: its decoded start is right, and the
  // decoder stops soon after its data runs out.
  const auto first = archive("rar20_vol.rar").extract("exe\\test.exe");
  ASSERT_TRUE(first.has_value());
  ASSERT_GE(first->size(), 20000u);
  EXPECT_LT(first->size(), whole->size());
  EXPECT_TRUE(std::equal(first->begin(), first->begin() + 20000, whole->begin()));
  EXPECT_FALSE(archive("rar20_vol.rar").extract("jpg\\test.jpg").has_value()) << "starts in the next volume";
  for (const char* part : {"rar20_vol.r00", "rar20_vol.r01", "rar20_vol.r02", "rar20_vol.r03", "rar20_vol.r04", "rar20_vol.r05"}) {
    const Archive volume = archive(part);
    const auto listing = volume.list();
    ASSERT_TRUE(listing.has_value()) << part;
    for (const ArchiveEntry& e : listing->entries) {
      const auto bytes = volume.extract(e.name);
      ASSERT_TRUE(bytes.has_value()) << part << ": " << e.name;
      EXPECT_LE(bytes->size(), e.unpacked_size);
    }
  }
}

TEST_F(RealArchives, SubBlockEndsTheSearch) {
  const Archive a = archive("rar20_unixowner.rar");
  expect_entry("rar20_unixowner.rar", "file.txt");
  const auto listing = a.list();
  ASSERT_TRUE(listing.has_value());
  EXPECT_TRUE(listing->ends_at_sub_block);
  ASSERT_EQ(listing->entries.size(), 1u);
  EXPECT_FALSE(a.extract("missing.txt").has_value());
}

TEST_F(RealArchives, ListingAgreesWithTheManifest) {
  const auto listing = archive("rar20_methods.rar").list();
  ASSERT_TRUE(listing.has_value());
  EXPECT_FALSE(listing->solid);
  std::vector<std::string> expected;
  for (const auto& row : rows_)
    if (row.at("file") == "rar20_methods.rar") expected.push_back(row.at("entry_name"));
  ASSERT_EQ(listing->entries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(listing->entries[i].name, expected[i]);
  EXPECT_EQ(listing->entries[0].method, 0x30);
  EXPECT_EQ(listing->entries[1].packed_size, 8245u);
  EXPECT_EQ(listing->entries[1].unpacked_size, 16384u);
  EXPECT_EQ(listing->entries[1].version, 20);

  const auto solid = archive("rar20_solid.rar").list();
  ASSERT_TRUE(solid.has_value());
  EXPECT_TRUE(solid->solid);
  ASSERT_EQ(solid->entries.size(), 2u);
  EXPECT_TRUE(solid->entries[1].continues_solid);
}

}  // namespace
}  // namespace morvane
