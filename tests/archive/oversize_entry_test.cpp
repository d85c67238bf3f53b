// Entry sizes are unsigned throughout: an UNP_SIZE of 2 GiB or more decodes what the data holds
// (never nothing), a load into memory over the limit is refused with the reason, and in a solid
// chain so are the entries behind such an entry. Small packed files with the size patched.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "archive/archive.h"
#include "archive/byte_reader.h"
#include "archive/rar20_unpacker.h"
#include "tests/archive/testdata.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/rar20_encoder.h"
#include "tools/rarpack/rar_writer.h"

namespace morvane {
namespace {

using test::Bytes;

// Offset of the named entry's file header in a written archive.
std::size_t header_of(const Bytes& archive, std::string_view name) {
  std::size_t at = 7 + (archive[12] | archive[13] << 8);
  while (at + 32 <= archive.size()) {
    const std::size_t head_size = archive[at + 5] | archive[at + 6] << 8;
    const std::size_t name_size = archive[at + 26] | archive[at + 27] << 8;
    const std::uint32_t pack = archive[at + 7] | archive[at + 8] << 8 | archive[at + 9] << 16 | static_cast<std::uint32_t>(archive[at + 10]) << 24;
    if (std::string_view(reinterpret_cast<const char*>(&archive[at + 32]), name_size) == name) return at;
    at += head_size + pack;
  }
  throw std::logic_error("no entry " + std::string(name));
}

void set_unp_size(Bytes& archive, std::string_view name, std::uint32_t size) {
  const std::size_t at = header_of(archive, name) + 11;
  for (int i = 0; i < 4; ++i) archive[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
}

std::string load_error(const Archive& archive, std::string_view name) {
  try {
    archive.load_raw_file(name);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

class CollectingSink final : public ByteSink {
 public:
  void write(std::span<const std::uint8_t> chunk) override { bytes.insert(bytes.end(), chunk.begin(), chunk.end()); }
  Bytes bytes;
};

TEST(OversizeEntries, SizesOf2GiBAndMoreDecodeWhatTheDataHolds) {
  const Bytes data = test::word_text(5000, 1);
  const Bytes stream = Rar20Encoder({}, data.size()).encode(data, true, false);
  for (std::uint32_t size : {0x80000000u, 0xFFFFFFFFu}) {
    Rar20Unpacker unpacker;
    MemoryReader reader(stream);
    Bytes out;
    unpacker.unpack(reader, size, false, &out);
    ASSERT_GE(out.size(), data.size()) << size;
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin())) << size;
  }
}

TEST(OversizeEntries, LoadsOverTheLimitAreRefusedWithTheReason) {
  RarWriter writer;
  writer.add("big.txt", test::word_text(5000, 1), EntryMode::packed);
  Bytes bytes = writer.write();
  set_unp_size(bytes, "big.txt", 0xFFFFFFFFu);
  const test::TempFile file(bytes);

  const Archive archive(file.path());
  EXPECT_FALSE(archive.extract("big.txt"));
  const std::string error = load_error(archive, "big.txt");
  EXPECT_NE(error.find("Could not load the file 'big.txt' from " + file.path()), std::string::npos) << error;
  EXPECT_NE(error.find("4294967295 bytes"), std::string::npos) << error;

  // Extraction to a sink takes any size: the entry's real bytes come out, never nothing.
  CollectingSink sink;
  archive.extract_to("big.txt", sink);
  EXPECT_GE(sink.bytes.size(), 5000u);
}

TEST(OversizeEntries, TheLimitItselfAndTheChainBehindAnEntryOverIt) {
  RarWriter writer;
  writer.set_solid(true);
  writer.add("first.txt", test::word_text(3000, 1), EntryMode::packed);
  writer.add("big.txt", test::word_text(4000, 2), EntryMode::packed);
  writer.add("kept.bin", test::random_bytes(500, 3), EntryMode::stored);
  writer.add("after.txt", test::word_text(3000, 4), EntryMode::packed);
  const test::TempFile file(writer.write());

  struct Case {
    std::uint32_t limit;
    const char* name;
    const char* refused;  // the entry the message names; nullptr when the load succeeds
  };
  const Case cases[] = {
      {4000, "big.txt", nullptr},       {4000, "after.txt", nullptr}, {3999, "first.txt", nullptr},
      {3999, "big.txt", "big.txt"},     {3999, "after.txt", "big.txt"},
      {3999, "kept.bin", "big.txt"},  // stored, but behind the big entry in the chain
  };
  for (const Case& k : cases) {
    LookupOptions options;
    options.max_load_size = k.limit;
    const Archive archive(file.path(), options);
    const std::string error = load_error(archive, k.name);
    if (k.refused == nullptr) {
      EXPECT_EQ(error, "") << k.limit << " " << k.name;
      continue;
    }
    EXPECT_NE(error.find("Could not load the file '" + std::string(k.name) + "'"), std::string::npos) << error;
    EXPECT_NE(error.find(std::string(k.refused) == k.name ? "the entry holds 4000 bytes" : "'big.txt' of 4000 bytes"),
              std::string::npos)
        << error;
  }
}

}  // namespace
}  // namespace morvane
