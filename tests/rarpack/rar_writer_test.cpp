// What the archive writer puts in the headers: methods, sizes, checksums, solid flags, names.
#include "tools/rarpack/rar_writer.h"

#include <gtest/gtest.h>

#include <string_view>

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
  std::uint32_t flags, pack_size, unp_size, file_crc, method;
  Bytes data;
};

// Walks the archive block by block, checking what every reader relies on.
std::vector<FileHeader> parse(const Bytes& a, std::uint32_t& main_flags) {
  EXPECT_EQ(Bytes(a.begin(), a.begin() + 7), (Bytes{'R', 'a', 'r', '!', 0x1A, 0x07, 0x00}));
  std::vector<FileHeader> files;
  for (std::size_t p = 7; p < a.size();) {
    const std::uint32_t type = a[p + 2], size = u16(a, p + 5);
    EXPECT_EQ(u16(a, p), crc32(std::span(a).subspan(p + 2, size - 2)) & 0xFFFF) << "HEAD_CRC at " << p;
    std::size_t next = p + size;
    if (type == 0x73) {
      main_flags = u16(a, p + 3);
    } else if (type == 0x74) {
      FileHeader f{u16(a, p + 3), u32(a, p + 7), u32(a, p + 11), u32(a, p + 16), a[p + 25], {}};
      EXPECT_EQ(a[p + 24], 20);
      EXPECT_EQ(size, 32 + u16(a, p + 26));
      f.data.assign(a.begin() + static_cast<std::ptrdiff_t>(next), a.begin() + static_cast<std::ptrdiff_t>(next + f.pack_size));
      next += f.pack_size;
      files.push_back(std::move(f));
    } else {  // the end-of-archive block as RAR itself writes it
      EXPECT_EQ(Bytes(a.begin() + static_cast<std::ptrdiff_t>(p), a.end()), (Bytes{0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00}));
    }
    p = next;
  }
  return files;
}

TEST(RarWriter, HeadersAndSolidChains) {
  const std::string_view check = "123456789";
  EXPECT_EQ(crc32(std::span(reinterpret_cast<const std::uint8_t*>(check.data()), check.size())), 0xCBF43926u);
  for (bool solid : {false, true}) {
    SCOPED_TRACE(solid);
    RarWriter w;
    w.set_solid(solid);
    const Bytes entries[] = {{}, test::word_text(5000, 3), test::word_text(5000, 4), test::random_bytes(900, 5), {},
                             test::records(4000, 6), test::waves(6000, 2, 7), test::random_bytes(900, 8)};
    const EntryMode modes[] = {EntryMode::packed, EntryMode::automatic, EntryMode::automatic, EntryMode::automatic,
                               EntryMode::automatic, EntryMode::automatic, EntryMode::stored, EntryMode::packed};
    for (std::size_t i = 0; i < std::size(entries); ++i) w.add("e" + std::to_string(i), entries[i], modes[i]);
    std::uint32_t main_flags = 99;
    const std::vector<FileHeader> f = parse(w.write(), main_flags);
    EXPECT_EQ(main_flags, solid ? 0x0008u : 0u);
    ASSERT_EQ(f.size(), std::size(entries));
    // Empty and stored entries stand alone and break the chain; noise is stored unless forced
    // or inside a chain.
    const bool packed[] = {false, true, true, solid, false, true, false, true};
    const bool continues[] = {false, false, true, true, false, false, false, false};
    Rar20Unpacker unpacker;
    for (std::size_t i = 0; i < f.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(f[i].method, packed[i] ? 0x33u : 0x30u);
      EXPECT_EQ((f[i].flags & 0x10) != 0, solid && continues[i]);
      EXPECT_EQ(f[i].unp_size, entries[i].size());
      EXPECT_EQ(f[i].file_crc, crc32(entries[i]));
      EXPECT_EQ(f[i].pack_size, w.report()[i].packed_size);
      if (!packed[i]) {
        EXPECT_EQ(f[i].data, entries[i]);
        continue;
      }
      // The unpacker follows the chain like the archive's reader: an entry without the flag
      // starts afresh.
      MemoryReader reader(f[i].data);
      Bytes out;
      unpacker.unpack(reader, f[i].unp_size, (f[i].flags & 0x10) != 0, &out);
      EXPECT_EQ(out, entries[i]);
    }
  }
}

TEST(RarWriter, RefusesNamesTheReaderCannotTellApart) {
  RarWriter w;
  w.add("Pics/Logo.pcx", {1});
  for (const std::string& name : {std::string("pics\\logo.PCX"), std::string("PICS_LOGO.pcx"), std::string(), std::string(260, 'x'),
                                  std::string("/etc/passwd"), std::string("a/../../b"), std::string("a\0b", 3)})
    EXPECT_THROW(w.add(name, {2}), std::invalid_argument) << name;
  EXPECT_NO_THROW(w.add(std::string(259, 'x'), {2}));
  EXPECT_NO_THROW(w.add("a/..b", {2}));
  std::uint32_t main_flags = 0;
  EXPECT_EQ(parse(w.write(), main_flags).size(), 3u);
}

TEST(RarWriter, SameEntriesSameBytesAndProgress) {
  auto build = [](std::vector<std::size_t>* done) {
    EncoderSettings settings;
    settings.segment_size = 4096;
    RarWriter w(settings);
    w.set_solid(true);
    w.add("a", test::mixture(30000, 8));
    w.add("big", test::word_text(20000, 10));
    w.on_progress([done](const std::string& name, std::size_t bytes, std::size_t total) {
      if (done && name == "big") {
        done->push_back(bytes);
        EXPECT_EQ(total, 20000u);
      }
    });
    return w.write();
  };
  std::vector<std::size_t> done;
  EXPECT_EQ(build(&done), build(nullptr));
  EXPECT_EQ(done, (std::vector<std::size_t>{4096, 8192, 12288, 16384, 20000}));
}

}  // namespace
}  // namespace morvane
