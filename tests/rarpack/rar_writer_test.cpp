#include "tools/rarpack/rar_writer.h"

#include <gtest/gtest.h>

#include "archive/byte_reader.h"
#include "archive/rar20_unpacker.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/crc32.h"

namespace morvane {
namespace {

using test::Bytes;

std::uint32_t u16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

struct FileHeader {
  std::uint32_t flags, pack_size, unp_size, file_crc;
  std::uint8_t unp_ver, method;
  std::string name;
  Bytes data;
};

// Walks the archive block by block, checking what every reader relies on.
std::vector<FileHeader> parse(const Bytes& a, std::uint32_t* main_flags = nullptr) {
  const Bytes marker = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
  EXPECT_TRUE(std::equal(marker.begin(), marker.end(), a.begin()));
  std::vector<FileHeader> files;
  for (std::size_t p = 7; p < a.size();) {
    const std::uint32_t type = a[p + 2], flags = u16(a, p + 3), size = u16(a, p + 5);
    EXPECT_EQ(u16(a, p), crc32(std::span(a).subspan(p + 2, size - 2)) & 0xFFFF) << "HEAD_CRC at " << p;
    std::size_t next = p + size;
    if (type == 0x73) {
      EXPECT_EQ(size, 13u);
      if (main_flags) *main_flags = flags;
    } else if (type == 0x74) {
      FileHeader f{flags, u32(a, p + 7), u32(a, p + 11), u32(a, p + 16), a[p + 24], a[p + 25], {}, {}};
      const std::uint32_t name_size = u16(a, p + 26);
      EXPECT_EQ(size, 32 + name_size);
      EXPECT_TRUE(flags & 0x8000);
      f.name.assign(a.begin() + static_cast<std::ptrdiff_t>(p + 32), a.begin() + static_cast<std::ptrdiff_t>(p + size));
      f.data.assign(a.begin() + static_cast<std::ptrdiff_t>(next),
                    a.begin() + static_cast<std::ptrdiff_t>(next + f.pack_size));
      next += f.pack_size;
      files.push_back(std::move(f));
    } else {
      EXPECT_EQ(type, 0x7Bu);
      // The end-of-archive block as RAR itself writes it.
      EXPECT_EQ(Bytes(a.begin() + static_cast<std::ptrdiff_t>(p), a.end()),
                (Bytes{0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00}));
    }
    p = next;
  }
  return files;
}

TEST(RarWriter, HeadersDescribeEachEntry) {
  RarWriter w;
  const Bytes text = test::word_text(20000, 1), noise = test::random_bytes(3000, 2);
  w.add("docs/readme.txt", text);
  w.add("noise.bin", noise);
  w.add("forced.bin", noise, EntryMode::packed);
  w.add("plain.txt", text, EntryMode::stored);
  w.add("empty", {}, EntryMode::packed);
  std::uint32_t main_flags = 1;
  const std::vector<FileHeader> f = parse(w.write(), &main_flags);
  EXPECT_EQ(main_flags, 0u);
  ASSERT_EQ(f.size(), 5u);
  const std::uint8_t methods[] = {0x33, 0x30, 0x33, 0x30, 0x30};
  const Bytes* contents[] = {&text, &noise, &noise, &text, nullptr};
  for (std::size_t i = 0; i < 5; ++i) {
    const Bytes& in = contents[i] ? *contents[i] : Bytes{};
    EXPECT_EQ(f[i].method, methods[i]) << i;
    EXPECT_EQ(f[i].unp_ver, 20);
    EXPECT_EQ(f[i].unp_size, in.size());
    EXPECT_EQ(f[i].file_crc, crc32(in));
    EXPECT_EQ(f[i].pack_size, w.report()[i].packed_size);
    EXPECT_EQ(f[i].flags & 0x10, 0u);
    if (f[i].method == 0x30) {
      EXPECT_EQ(f[i].data, in);
    }
  }
  EXPECT_EQ(f[0].name, "docs\\readme.txt");
  EXPECT_EQ(f[1].name, w.report()[1].name);
  EXPECT_LT(f[0].pack_size, text.size() / 3);
  EXPECT_GT(f[2].pack_size, noise.size());  // packing noise costs a little
}

TEST(RarWriter, SolidChainsAndWhatBreaksThem) {
  RarWriter w;
  w.set_solid(true);
  const Bytes names[] = {{}, test::word_text(5000, 3), test::word_text(5000, 4), test::random_bytes(900, 5), {},
                         test::records(4000, 6), test::waves(6000, 2, 7)};
  const EntryMode modes[] = {EntryMode::automatic, EntryMode::automatic, EntryMode::automatic, EntryMode::automatic,
                             EntryMode::automatic, EntryMode::automatic, EntryMode::stored};
  for (std::size_t i = 0; i < std::size(names); ++i) w.add("e" + std::to_string(i), names[i], modes[i]);
  std::uint32_t main_flags = 0;
  const std::vector<FileHeader> f = parse(w.write(), &main_flags);
  EXPECT_EQ(main_flags, 0x0008u);
  // Empty and stored entries stand alone; noise inside a chain stays packed.
  const std::uint8_t methods[] = {0x30, 0x33, 0x33, 0x33, 0x30, 0x33, 0x30};
  const bool continues[] = {false, false, true, true, false, false, false};
  for (std::size_t i = 0; i < f.size(); ++i) {
    EXPECT_EQ(f[i].method, methods[i]) << i;
    EXPECT_EQ((f[i].flags & 0x10) != 0, continues[i]) << i;
  }

  // The unpacker follows the chain like the archive's reader does: a stored entry is skipped,
  // an entry without the flag starts afresh.
  Rar20Unpacker unpacker;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i].method == 0x30) continue;
    MemoryReader reader(f[i].data);
    Bytes out;
    unpacker.unpack(reader, f[i].unp_size, continues[i], &out);
    EXPECT_EQ(out, names[i]) << i;
  }
}

TEST(RarWriter, SameEntriesSameBytes) {
  auto build = [] {
    RarWriter w;
    w.set_solid(true);
    w.add("a", test::mixture(30000, 8));
    w.add("b", test::mixture(30000, 9));
    return w.write();
  };
  const Bytes first = build();
  EXPECT_EQ(first, build());
}

TEST(RarWriter, RefusesNamesTheReaderCannotTellApart) {
  RarWriter w;
  w.add("Pics/Logo.pcx", {1});
  EXPECT_THROW(w.add("pics\\logo.PCX", {2}), std::invalid_argument);
  EXPECT_THROW(w.add("PICS_LOGO.pcx", {2}), std::invalid_argument);
  EXPECT_THROW(w.add("", {2}), std::invalid_argument);
  EXPECT_THROW(w.add(std::string(260, 'x'), {2}), std::invalid_argument);
  EXPECT_NO_THROW(w.add(std::string(259, 'x'), {2}));
  EXPECT_THROW(w.add("/etc/passwd", {2}), std::invalid_argument);
  EXPECT_THROW(w.add("a/../../b", {2}), std::invalid_argument);
  EXPECT_THROW(w.add(std::string("a\0b", 3), {2}), std::invalid_argument);
  EXPECT_NO_THROW(w.add("a/..b", {2}));
  EXPECT_EQ(parse(w.write()).size(), 3u);
}

TEST(RarWriter, ReportsProgressOfLargeEntries) {
  EncoderSettings s;
  s.segment_size = 4096;
  RarWriter w(s);
  w.add("big", test::word_text(20000, 10));
  std::vector<std::size_t> done;
  w.on_progress([&](const std::string& name, std::size_t bytes, std::size_t total) {
    EXPECT_EQ(name, "big");
    EXPECT_EQ(total, 20000u);
    done.push_back(bytes);
  });
  w.write();
  EXPECT_EQ(done, (std::vector<std::size_t>{4096, 8192, 12288, 16384, 20000}));
}

}  // namespace
}  // namespace morvane
