// One Archive serving many lookups of a solid archive: whatever the order, each result is the
// one a lookup on a freshly opened file gives, including on damaged files; lookups in the
// file's order decode each byte once, and an entry looked up again while it is still in the
// window costs no decoding.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/entry_lookup.h"
#include "tests/archive/testdata.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/rar_writer.h"

namespace morvane {
namespace {

using test::Bytes;

struct Chain {
  std::vector<std::string> names;
  std::vector<Bytes> contents;
  Bytes file;
};

// Text, records, two-channel sound and a stored entry in one solid stream. The stored entry
// comes last: the packer starts the stream afresh behind one.
Chain sample_chain(std::size_t entry_size) {
  Chain c;
  RarWriter writer;
  writer.set_solid(true);
  const auto add = [&](std::string name, Bytes bytes, EntryMode mode = EntryMode::packed) {
    c.names.push_back(name);
    c.contents.push_back(bytes);
    writer.add(std::move(name), std::move(bytes), mode);
  };
  add("Pics/a.txt", test::word_text(entry_size, 1));
  add("b.dat", test::records(entry_size, 2));
  add("c.raw", test::waves(entry_size, 2, 3));
  add("e.txt", test::word_text(entry_size, 5));
  add("f.bin", test::mixture(entry_size, 6));
  add("d.bin", test::random_bytes(entry_size / 8, 4), EntryMode::stored);
  c.file = writer.write();
  return c;
}

std::optional<Bytes> fresh_lookup(const std::string& path, const std::string& name) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return std::nullopt;
  auto bytes = lookup_entry(f, name);
  std::fclose(f);
  return bytes;
}

TEST(SolidSession, AnyOrderGivesWhatAFreshLookupGives) {
  const Chain c = sample_chain(20000);
  const test::TempFile file(c.file);
  struct Case {
    const char* what;
    std::vector<int> order;  // indexes into the chain; -1 for a name not in it
  };
  const Case cases[] = {
      {"file order", {0, 1, 2, 3, 4, 5}},
      {"backwards", {5, 4, 3, 2, 1, 0}},
      {"skipping ahead and back", {1, 4, 2, 5, 0}},
      {"the same entry twice in a row", {2, 2, 4, 4}},
      {"a missing name between", {0, -1, 1, -1, 5}},
      {"stored entry first", {5, 0, 5, 4, 5}},
  };
  for (const Case& k : cases) {
    const Archive archive(file.path());
    for (int i : k.order) {
      const std::string name = i < 0 ? "missing.bin" : c.names[static_cast<std::size_t>(i)];
      const auto got = archive.extract(name);
      ASSERT_EQ(got, fresh_lookup(file.path(), name)) << k.what << ": " << name;
      if (i >= 0) {
        ASSERT_EQ(got, c.contents[static_cast<std::size_t>(i)]) << k.what << ": " << name;
      }
    }
  }
}

TEST(SolidSession, EachByteIsDecodedOnceInFileOrder) {
  const Chain c = sample_chain(20000);
  const test::TempFile file(c.file);
  std::uint64_t packed_bytes = 0;
  for (std::size_t i = 0; i < c.names.size(); ++i)
    if (c.names[i] != "d.bin") packed_bytes += c.contents[i].size();

  const Archive archive(file.path());
  for (const std::string& name : c.names) archive.load_raw_file(name);
  EXPECT_EQ(archive.decoded_bytes(), packed_bytes);

  // As in the show: earlier entries looked up again while the window still holds them.
  const Archive again(file.path());
  for (const char* name : {"Pics/a.txt", "b.dat", "c.raw", "PICS\\A.TXT", "e.txt", "b.dat", "f.bin"}) again.load_raw_file(name);
  EXPECT_EQ(again.decoded_bytes(), packed_bytes);
}

TEST(SolidSession, AnEntryPastTheWindowIsDecodedAgainFromTheStart) {
  const Chain c = sample_chain(300000);  // over 1 MiB in all
  const test::TempFile file(c.file);
  const Archive archive(file.path());
  EXPECT_EQ(archive.extract("e.txt"), c.contents[3]);
  const std::uint64_t through_e = archive.decoded_bytes();
  EXPECT_EQ(archive.extract("Pics/a.txt"), c.contents[0]);
  EXPECT_EQ(archive.extract("b.dat"), c.contents[1]);
  EXPECT_EQ(archive.decoded_bytes(), through_e + c.contents[0].size() + c.contents[1].size());
}

TEST(SolidSession, DamagedFilesGiveWhatFreshLookupsGive) {
  const Chain c = sample_chain(20000);
  std::vector<std::pair<const char*, Bytes>> damaged;
  damaged.emplace_back("cut in the third entry", Bytes(c.file.begin(), c.file.begin() + static_cast<std::ptrdiff_t>(c.file.size() / 2)));
  Bytes flipped = c.file;
  for (std::size_t at = c.file.size() / 5; at < c.file.size() * 3 / 5; at += 997) flipped[at] ^= 0x5A;
  damaged.emplace_back("bytes flipped in packed data", flipped);

  for (const auto& [what, bytes] : damaged) {
    const test::TempFile file(bytes);
    for (const std::vector<int>& order : {std::vector<int>{0, 1, 2, 3, 4, 5}, std::vector<int>{4, 1, 5, 2}}) {
      const Archive archive(file.path());
      for (int i : order) {
        const std::string& name = c.names[static_cast<std::size_t>(i)];
        EXPECT_EQ(archive.extract(name), fresh_lookup(file.path(), name)) << what << ": " << name;
      }
    }
  }
}

}  // namespace
}  // namespace morvane
