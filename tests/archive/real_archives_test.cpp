// Real RAR 1.5-2.x archives made by other programs: every entry we can decode must come out
// with the digest an independent extractor (or the CRC-checked analysis decoder) recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "archive/archive.h"
#include "tests/archive/testdata.h"

namespace morvane {
namespace {

class RealArchives : public ::testing::Test {
 protected:
  void SetUp() override {
    rows_ = test::read_manifest(dir() / "MANIFEST.tsv");
    if (rows_.empty()) GTEST_SKIP() << "no test data in " << dir();
  }
  static std::filesystem::path dir() { return test::testdata_dir() / "rar"; }
  static Archive archive(const std::string& file) { return Archive((dir() / file).string()); }

  std::vector<test::Row> rows_;
};

TEST_F(RealArchives, EveryDecodableEntryMatchesItsDigest) {
  int checked = 0, without_unar = 0;
  for (const test::Row& row : rows_) {
    // Whole entries of the method we decode that have a digest to compare with.
    const std::string& file = row.at("file");
    if (row.at("unp_ver") != "20" || row.at("extracted_sha256").size() != 64 || file.find("_vol.") != std::string::npos)
      continue;
    SCOPED_TRACE(file + ": " + row.at("entry_name"));
    const auto bytes = archive(file).extract(row.at("entry_name"));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), std::stoul(row.at("unp_size")));
    EXPECT_EQ(test::sha256_hex(*bytes), row.at("extracted_sha256"));
    ++checked;
    without_unar += row.at("expected_from") == "tracer+crc";
  }
  EXPECT_GE(checked, 110);
  EXPECT_EQ(without_unar, 20) << "the 87-entry archive's entries that unar cannot extract";
}

TEST_F(RealArchives, OlderMethodEntriesAreFoundAndDoNotCrash) {
  // Version 15 lies in 13..20 but uses another method: the bytes are not right, only safe.
  int found = 0;
  for (const test::Row& row : rows_) {
    if (row.at("unp_ver") != "15" || row.at("unp_size") == "0") continue;
    SCOPED_TRACE(row.at("file") + ": " + row.at("entry_name"));
    const auto bytes = archive(row.at("file")).extract(row.at("entry_name"));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_LE(bytes->size(), std::stoul(row.at("unp_size")));
    ++found;
  }
  EXPECT_GT(found, 5);
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

TEST_F(RealArchives, ListingsAgreeWithTheManifest) {
  for (const char* file : {"rar20_methods.rar", "rar20_solid.rar", "rar20_unixowner.rar"}) {
    SCOPED_TRACE(file);
    const auto listing = archive(file).list();
    ASSERT_TRUE(listing.has_value());
    std::vector<test::Row> rows;
    std::copy_if(rows_.begin(), rows_.end(), std::back_inserter(rows), [&](const test::Row& r) { return r.at("file") == file; });
    ASSERT_EQ(listing->entries.size(), rows.size());
    EXPECT_EQ(listing->solid, rows[0].at("solid_flags").starts_with("arc=1"));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const ArchiveEntry& e = listing->entries[i];
      EXPECT_EQ(e.name, rows[i].at("entry_name"));
      EXPECT_EQ(e.packed_size, std::stoul(rows[i].at("pack_size")));
      EXPECT_EQ(e.unpacked_size, std::stoul(rows[i].at("unp_size")));
      EXPECT_EQ(e.method, std::stoi(rows[i].at("method"), nullptr, 16));
      EXPECT_EQ(e.version, std::stoi(rows[i].at("unp_ver")));
      EXPECT_EQ(e.continues_solid, rows[i].at("solid_flags").ends_with("ent=1"));
    }
  }
  // This one ends with a sub-block, which ends every lookup.
  EXPECT_TRUE(archive("rar20_unixowner.rar").list()->ends_at_sub_block);
  EXPECT_FALSE(archive("rar20_unixowner.rar").extract("missing.txt").has_value());
}

}  // namespace
}  // namespace morvane
