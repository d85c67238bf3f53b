// The lookup's container rules on hand-built archives: markers, name matching, versions, sizes,
// block skipping, sub-blocks, solid extraction, cut files, and the loading messages.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "archive/archive.h"
#include "tests/archive/testdata.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/rar20_encoder.h"
#include "tests/support/thrown_message.h"

namespace morvane {
namespace {

using test::Bytes;

Bytes le(std::uint32_t v, int bytes) {
  Bytes out;
  // Bytes past the fourth are zero; shifting a 32-bit value that far is undefined.
  for (int i = 0; i < bytes; ++i) out.push_back(i < 4 ? static_cast<std::uint8_t>(v >> (8 * i)) : 0);
  return out;
}

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes text(std::string_view s) { return {s.begin(), s.end()}; }

struct Entry {
  std::string name;
  Bytes data;
  std::uint32_t unp_size = static_cast<std::uint32_t>(data.size());
  std::uint8_t version = 20, method = 0x30;
  std::uint16_t flags = 0x8000;
  std::optional<std::uint32_t> pack_size = {};
  Bytes after_name = {};                   // inside HEAD_SIZE, e.g. a file comment
  std::optional<std::uint16_t> head_size = {};
};

// A file header and its data; CRCs are left 0, since nothing checks them.
Bytes file_block(const Entry& e) {
  const auto head_size = e.head_size.value_or(static_cast<std::uint16_t>(32 + e.name.size() + e.after_name.size()));
  return cat({le(0, 2), {0x74}, le(e.flags, 2), le(head_size, 2), le(e.pack_size.value_or(static_cast<std::uint32_t>(e.data.size())), 4),
              le(e.unp_size, 4), {0}, le(0xDEADBEEF, 4), le(0, 4), {e.version, e.method}, le(static_cast<std::uint32_t>(e.name.size()), 2),
              le(0x20, 4), text(e.name), e.after_name, e.data});
}

Bytes stored(std::string name, std::string_view content) { return file_block({.name = std::move(name), .data = text(content)}); }

// Another block type; with data behind it, flag 0x8000 and ADD_SIZE say how much.
Bytes other_block(std::uint8_t type, Bytes header_rest, Bytes data = {}) {
  const bool with_data = !data.empty();
  return cat({le(0xBEEF, 2), {type}, le(with_data ? 0x8000 : 0, 2), le(static_cast<std::uint32_t>(7 + (with_data ? 4 : 0) + header_rest.size()), 2),
              with_data ? le(static_cast<std::uint32_t>(data.size()), 4) : Bytes{}, header_rest, data});
}

Bytes archive(std::initializer_list<Bytes> blocks, std::uint16_t main_flags = 0, Bytes main_rest = {}, bool alt_marker = false) {
  const Bytes marker = alt_marker ? text("Tovrix!") : Bytes{'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
  return cat({marker, le(0, 2), {0x73}, le(main_flags, 2), le(static_cast<std::uint32_t>(13 + main_rest.size()), 2), le(0, 6), main_rest,
              cat(blocks)});
}

using test::message_of;

std::optional<Bytes> extract(const Bytes& archive_bytes, const std::string& name) {
  const test::TempFile file(archive_bytes);
  return Archive(file.path()).extract(name);
}

TEST(ArchiveLookup, WhatIsFoundAndWhatComesOut) {
  const Bytes two = archive({stored("Dir\\Sub/Pic.PCX", "one"), stored("other.bin", "two")});
  const Bytes ten = text("0123456789");
  Bytes bad_marker = two;
  bad_marker[0] = 'r';
  Bytes no_progress = archive({other_block(0x7A, {}), stored("x", "y")});
  no_progress[20 + 5] = 6;  // HEAD_SIZE 6 of the first block
  const Bytes blocks = archive({stored("first", "1"), other_block(0x75, {1, 2, 3, 4, 5}, text("comment data")), other_block(0x7A, {9, 9}),
                                stored("second", "22"), other_block(0x77, {}, text("sub-block data")), stored("third", "333")});
  const Bytes cut = archive({file_block({.name = "a", .data = ten})});
  struct Case {
    Bytes archive;
    std::string name;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      // Names match without regard to case or separator kind ('\', '/', '_'), nothing more.
      {two, "Dir\\Sub/Pic.PCX", "one"}, {two, "dir/sub/pic.pcx", "one"}, {two, "DIR\\SUB\\PIC.PCX", "one"},
      {two, "dir_sub_pic.pcx", "one"}, {two, "OTHER.BIN", "two"}, {two, "dir.sub.pic.pcx", {}}, {two, "pic.pcx", {}},
      {two, "dir\\sub\\pic.pc", {}}, {two, "dir\\sub\\pic.pcx ", {}}, {two, "", {}}, {two, "missing.bin", {}},
      {bad_marker, "other.bin", {}}, {no_progress, "x", {}},
      {archive({stored("x", "alt")}, 0, {}, true), "x", "alt"},
      {archive({stored("x", "c")}, 0x0002, text("main comment")), "x", "c"},  // main header beyond its 13 bytes
      // Blocks of other kinds are skipped; a sub-block ends the search.
      {blocks, "first", "1"}, {blocks, "second", "22"}, {blocks, "third", {}},
      // Stored data: UNP_SIZE bytes at most, no more than PACK_SIZE covers, what a cut file holds.
      {archive({file_block({.name = "a", .data = ten, .unp_size = 6})}), "a", "012345"},
      {archive({file_block({.name = "a", .data = ten, .pack_size = 4})}), "a", "0123"},
      {archive({file_block({.name = "a", .data = ten, .unp_size = 0})}), "a", ""},
      {Bytes(cut.begin(), cut.end() - 3), "a", "0123456"},
      // A packed entry of size 0 is found, empty.
      {archive({file_block({.name = "e", .data = {1, 2, 3}, .unp_size = 0, .method = 0x33})}), "e", ""},
      // Names end at their first NUL (the ASCII part of a Unicode name); HEAD_SIZE still
      // locates the data, also behind a file comment.
      {archive({file_block({.name = std::string("movie.dat\0\x01\x02", 12), .data = text("payload")})}), "MOVIE.DAT", "payload"},
      {archive({file_block({.name = "c", .data = text("data"), .flags = 0x8008, .after_name = text("comment")})}), "c", "data"},
      {archive({file_block({.name = "short", .data = text("data"), .head_size = 32 + 4})}), "short", {}},
  };
  for (const Case& c : cases) {
    const auto got = extract(c.archive, c.name);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.name;
    if (got) {
      EXPECT_EQ(*got, text(*c.expected)) << c.name;
    }
  }
  for (int version : {12, 13, 20, 21, 29})
    EXPECT_EQ(extract(archive({file_block({.name = "v", .data = text("data"), .version = static_cast<std::uint8_t>(version)})}), "v").has_value(),
              version >= 13 && version <= 20)
        << version;

  const test::TempFile file(blocks);
  const auto listing = Archive(file.path()).list();
  ASSERT_TRUE(listing.has_value());
  EXPECT_EQ(listing->entries.size(), 2u);
  EXPECT_TRUE(listing->ends_at_sub_block);
  const test::TempFile wrong(bad_marker);
  EXPECT_FALSE(Archive(wrong.path()).list().has_value());
  EXPECT_FALSE(Archive("/nonexistent/morvane.dat").list().has_value());
  EXPECT_FALSE(Archive("/nonexistent/morvane.dat").extract("x").has_value());
}

TEST(ArchiveLookup, SolidArchivesUnpackTheEntriesBefore) {
  const Bytes a = test::word_text(30000, 1), b(a.begin() + 1000, a.begin() + 21000), c = test::word_text(5000, 3);
  Rar20Encoder encoder({}, 1 << 20);
  auto packed = [&](const std::string& name, const Bytes& content, bool continues) {
    return file_block({.name = name, .data = encoder.encode(content, !continues, true), .unp_size = static_cast<std::uint32_t>(content.size()),
                       .method = 0x33, .flags = static_cast<std::uint16_t>(continues ? 0x8010 : 0x8000)});
  };
  const Bytes pa = packed("a", a, false), pb = packed("b", b, true), pc = packed("c", c, true);
  Bytes solid = archive({pa, stored("stored-between", "kept out of the decoder"), pb, pc}, 0x0008);
  EXPECT_EQ(extract(solid, "a"), a);
  EXPECT_EQ(extract(solid, "stored-between"), text("kept out of the decoder"));
  EXPECT_EQ(extract(solid, "b"), b);
  EXPECT_EQ(extract(solid, "c"), c);
  solid[10] = 0;  // main header flags: no longer solid, and b cannot be decoded alone
  const auto alone = extract(solid, "b");
  ASSERT_TRUE(alone.has_value());
  EXPECT_NE(*alone, b);

  // In a solid archive, an unreadable version before the wanted entry fails the lookup.
  Entry old{.name = "old", .data = text("data"), .version = 29};
  EXPECT_FALSE(extract(archive({file_block(old), stored("after", "z")}, 0x0008), "after").has_value());
  EXPECT_EQ(extract(archive({file_block(old), stored("after", "z")}), "after"), text("z")) << "not read when not solid";
}

TEST(ArchiveLookup, EveryCutOfAnArchiveIsSafe) {
  const Bytes content = test::word_text(1500, 8);
  const Bytes whole = archive({stored("s", "stored"), other_block(0x75, {}, text("comment")),
                               file_block({.name = "p", .data = Rar20Encoder({}, 1 << 16).encode(content, true, false),
                                           .unp_size = static_cast<std::uint32_t>(content.size()), .method = 0x33})});
  // Every size through the headers, then every 13th through the packed data.
  for (std::size_t size = 0; size <= whole.size(); size += size < 160 || size + 13 > whole.size() ? 1 : 13) {
    const auto got = extract(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)), "p");
    EXPECT_LE(got.value_or(Bytes{}).size(), content.size());
    if (size == whole.size()) {
      EXPECT_EQ(got, content);
    }
  }
}

TEST(ArchiveLoading, MissingEntriesThrowWithNameAndPath) {
  const test::TempFile file(archive({stored("there.pcx", "x")}));
  const Archive a(file.path());
  std::vector<std::uint8_t> pixels(4);
  const std::string from = "' from " + file.path();
  EXPECT_EQ(message_of([&] { a.load_picture("gone.pcx", pixels); }), "Could not load the file 'gone.pcx" + from);
  EXPECT_EQ(message_of([&] { a.load_raw_file("morvane.3ds"); }), "Could not load the file 'morvane.3ds" + from);
  EXPECT_EQ(a.load_raw_file("THERE.PCX"), text("x"));
  EXPECT_EQ(Archive(std::string(300, 'p')).path().size(), 255u);
}

}  // namespace
}  // namespace morvane
