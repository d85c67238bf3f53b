// The lookup's container rules on hand-built archives: markers, name matching, versions,
// block skipping, sub-blocks, sizes, solid extraction and cut or inconsistent files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "archive/archive.h"
#include "archive/entry_lookup.h"
#include "tests/archive/rar20_test_writer.h"

namespace morvane {
namespace {

using test::ArchiveBuilder;
using test::EntrySpec;
using test::Rar20Packer;
using test::TempFile;

std::vector<std::uint8_t> bytes_of(const std::string& s) { return {s.begin(), s.end()}; }

std::optional<std::vector<std::uint8_t>> extract(const ArchiveBuilder& b, const std::string& name) {
  const TempFile file(b.bytes());
  return Archive(file.path()).extract(name);
}

EntrySpec packed_entry(const std::string& name, std::span<const std::uint8_t> content, Rar20Packer& packer,
                       bool continues_solid = false) {
  EntrySpec e;
  e.name = name;
  e.data = packer.pack(content, continues_solid);
  e.unp_size = static_cast<std::uint32_t>(content.size());
  e.method = 0x33;
  if (continues_solid) e.flags |= 0x0010;
  return e;
}

TEST(ArchiveLookup, NamesMatchWithoutCaseOrSeparatorKind) {
  ArchiveBuilder b;
  b.stored("Dir\\Sub/Pic.PCX", bytes_of("one")).stored("other.bin", bytes_of("two"));
  const TempFile file(b.bytes());
  const Archive a(file.path());
  for (const char* name : {"Dir\\Sub/Pic.PCX", "dir/sub/pic.pcx", "DIR\\SUB\\PIC.PCX", "dir_sub_pic.pcx", "Dir/Sub_Pic.pcx"})
    EXPECT_EQ(a.extract(name), bytes_of("one")) << name;
  for (const char* name : {"dir.sub.pic.pcx", "pic.pcx", "dir\\sub\\pic.pc", "dir\\sub\\pic.pcx ", ""})
    EXPECT_FALSE(a.extract(name).has_value()) << name;
  EXPECT_EQ(a.extract("OTHER.BIN"), bytes_of("two"));
  EXPECT_FALSE(a.extract("missing.bin").has_value()) << "the end of the file ends the search";
}

TEST(ArchiveLookup, NamesEndAtTheirFirstNul) {
  // Unicode-flagged names hold "ascii\0encoded"; HEAD_SIZE still locates the data.
  EntrySpec e;
  e.name = std::string("movie.dat\0\x01\x02\x03", 13);
  e.data = bytes_of("payload");
  e.unp_size = 7;
  ArchiveBuilder b;
  b.entry(e);
  EXPECT_EQ(extract(b, "MOVIE.DAT"), bytes_of("payload"));
}

TEST(ArchiveLookup, StoredSizesFollowUnpSizeAndPackSize) {
  const auto content = bytes_of("0123456789");
  EntrySpec e;
  e.name = "a";
  e.data = content;
  e.unp_size = 6;  // fewer than stored: only UNP_SIZE bytes
  EXPECT_EQ(extract(ArchiveBuilder().entry(e), "a"), bytes_of("012345"));
  e.unp_size = 10;
  e.pack_size = 4;  // PACK_SIZE smaller: what it covers
  EXPECT_EQ(extract(ArchiveBuilder().entry(e), "a"), bytes_of("0123"));
  e.pack_size.reset();
  e.unp_size = 0;
  const auto empty = extract(ArchiveBuilder().entry(e), "a");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
  // A file cut inside the data: what is there.
  e.unp_size = 10;
  ArchiveBuilder cut;
  cut.entry(e);
  std::vector<std::uint8_t> bytes = cut.bytes();
  bytes.resize(bytes.size() - 3);
  const TempFile file(bytes);
  EXPECT_EQ(Archive(file.path()).extract("a"), bytes_of("0123456"));
}

TEST(ArchiveLookup, PackedEntryWithZeroSizeIsFoundEmpty) {
  Rar20Packer packer;
  const std::vector<std::uint8_t> nothing;
  ArchiveBuilder b;
  b.entry(packed_entry("empty", nothing, packer));
  const auto got = extract(b, "empty");
  ASSERT_TRUE(got.has_value());
  EXPECT_TRUE(got->empty());
}

TEST(ArchiveLookup, OnlyVersions13To20AreExtracted) {
  for (int version : {12, 13, 20, 21, 29}) {
    EntrySpec e;
    e.name = "v";
    e.data = bytes_of("data");
    e.unp_size = 4;
    e.unp_ver = static_cast<std::uint8_t>(version);
    EXPECT_EQ(extract(ArchiveBuilder().entry(e), "v").has_value(), version >= 13 && version <= 20) << version;
  }
}

TEST(ArchiveLookup, OtherBlocksAreSkippedAndSubBlocksEndTheSearch) {
  ArchiveBuilder b;
  b.stored("first", bytes_of("1"))
      .block(0x75, 0, {1, 2, 3, 4, 5}, bytes_of("a comment block with data behind it"))
      .block(0x7A, 0, {9, 9})
      .stored("second", bytes_of("22"))
      .block(0x77, 0, {}, bytes_of("sub-block data"))
      .stored("third", bytes_of("333"));
  EXPECT_EQ(extract(b, "first"), bytes_of("1"));
  EXPECT_EQ(extract(b, "second"), bytes_of("22"));
  EXPECT_FALSE(extract(b, "third").has_value()) << "behind a sub-block";

  const TempFile file(b.bytes());
  const auto listing = Archive(file.path()).list();
  ASSERT_TRUE(listing.has_value());
  EXPECT_EQ(listing->entries.size(), 2u);
  EXPECT_TRUE(listing->ends_at_sub_block);
}

TEST(ArchiveLookup, ChecksumsAreNotChecked) {
  EntrySpec e;
  e.name = "crc";
  e.data = bytes_of("abc");
  e.unp_size = 3;
  e.head_crc = 0x1234;
  e.file_crc = 0xDEADBEEF;
  EXPECT_EQ(extract(ArchiveBuilder().entry(e), "crc"), bytes_of("abc"));
}

TEST(ArchiveLookup, MarkersAndMainHeader) {
  EXPECT_EQ(extract(ArchiveBuilder(0, true).stored("x", bytes_of("alt")), "x"), bytes_of("alt"));
  // Main header bytes beyond its 13 (an archive comment) are skipped.
  EXPECT_EQ(extract(ArchiveBuilder(0x0002, false, bytes_of("main comment")).stored("x", bytes_of("c")), "x"), bytes_of("c"));

  std::vector<std::uint8_t> wrong = ArchiveBuilder().stored("x", bytes_of("m")).bytes();
  wrong[0] = 'r';
  const TempFile bad(wrong);
  EXPECT_FALSE(Archive(bad.path()).extract("x").has_value()) << "neither marker";
  EXPECT_FALSE(Archive(bad.path()).list().has_value());
  EXPECT_FALSE(Archive("/nonexistent/morvane.dat").extract("x").has_value());
  EXPECT_FALSE(Archive("/nonexistent/morvane.dat").list().has_value());
}

TEST(ArchiveLookup, BlocksThatMakeNoProgressEndTheSearch) {
  ArchiveBuilder b;
  b.block(0x7A, 0).stored("x", bytes_of("y"));
  std::vector<std::uint8_t> bytes = b.bytes();
  bytes[20 + 5] = 6;  // HEAD_SIZE 6 of the first block (at offset 20)
  const TempFile file(bytes);
  EXPECT_FALSE(Archive(file.path()).extract("x").has_value());
}

TEST(ArchiveLookup, DataStartsBehindTheWholeHeader) {
  // A file comment inside the header (HEAD_SIZE covers it) does not shift the data.
  EntrySpec e;
  e.name = "commented";
  e.flags |= 0x0008;
  e.header_extra = bytes_of("file comment");
  e.data = bytes_of("real data");
  e.unp_size = 9;
  EXPECT_EQ(extract(ArchiveBuilder().entry(e), "commented"), bytes_of("real data"));
  // A header too short for its own name locates no data.
  e.header_extra.clear();
  e.head_size = 32 + 4;
  EXPECT_FALSE(extract(ArchiveBuilder().entry(e), "commented").has_value());
}

TEST(ArchiveLookup, SolidArchivesUnpackTheEntriesBefore) {
  Rar20Packer packer;
  const auto a = test::text_like_data(30000, 1);
  const auto b = test::text_like_data(20000, 1);  // the same start as a: matches reach back into a
  const auto c = test::text_like_data(5000, 3);
  ArchiveBuilder solid(0x0008);
  solid.entry(packed_entry("a", a, packer))
      .stored("stored-between", bytes_of("kept out of the decoder"))
      .entry(packed_entry("b", b, packer, true))
      .entry(packed_entry("c", c, packer, true));
  EXPECT_EQ(extract(solid, "a"), a);
  EXPECT_EQ(extract(solid, "stored-between"), bytes_of("kept out of the decoder"));
  EXPECT_EQ(extract(solid, "b"), b);
  EXPECT_EQ(extract(solid, "c"), c);

  // The same entries without the solid flag: b cannot be decoded alone.
  std::vector<std::uint8_t> bytes = solid.bytes();
  bytes[10] = 0;  // main header flags, low byte
  const TempFile plain(bytes);
  const auto alone = Archive(plain.path()).extract("b");
  ASSERT_TRUE(alone.has_value());
  EXPECT_NE(*alone, b);

  // In a solid archive, an unreadable version before the wanted entry fails the lookup.
  Rar20Packer again;
  EntrySpec old = packed_entry("old", a, again);
  old.unp_ver = 29;
  ArchiveBuilder with_old(0x0008);
  with_old.entry(old).stored("after", bytes_of("z"));
  EXPECT_FALSE(extract(with_old, "after").has_value());
  ArchiveBuilder without_solid;
  without_solid.entry(old).stored("after", bytes_of("z"));
  EXPECT_EQ(extract(without_solid, "after"), bytes_of("z")) << "not read when not solid";
}

TEST(ArchiveLookup, EveryCutOfAnArchiveIsSafe) {
  Rar20Packer packer;
  const auto content = test::text_like_data(1500, 8);
  ArchiveBuilder b;
  b.stored("s", bytes_of("stored")).block(0x75, 0, {}, bytes_of("comment")).entry(packed_entry("p", content, packer));
  const std::vector<std::uint8_t> whole = b.bytes();
  // Every size through the headers, then every 13th through the packed data.
  for (std::size_t size = 0; size <= whole.size(); size += size < 160 || size + 13 > whole.size() ? 1 : 13) {
    const TempFile file(std::span<const std::uint8_t>(whole).first(size));
    std::FILE* f = std::fopen(file.path().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    const auto got = lookup_entry(f, "p");
    std::fclose(f);
    if (got) {
      EXPECT_LE(got->size(), content.size());
    }
    if (size == whole.size()) {
      EXPECT_EQ(got, content);
    }
  }
}

TEST(ArchiveLoading, MissingEntriesThrowWithNameAndPath) {
  const TempFile file(ArchiveBuilder().stored("there.pcx", bytes_of("x")).bytes());
  const Archive a(file.path());
  try {
    std::vector<std::uint8_t> pixels(4);
    a.load_picture("gone.pcx", pixels);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Could not load the file 'gone.pcx' from " + file.path());
  }
  try {
    a.load_raw_file("morvane.3ds");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Could not load the file 'morvane.3ds' from " + file.path());
  }
  EXPECT_EQ(a.load_raw_file("THERE.PCX"), bytes_of("x"));
}

TEST(ArchiveLoading, PathIsKeptToAtMost255Characters) {
  EXPECT_EQ(Archive(std::string(300, 'p')).path().size(), 255u);
  EXPECT_EQ(Archive("morvane.dat").path(), "morvane.dat");
}

}  // namespace
}  // namespace morvane
