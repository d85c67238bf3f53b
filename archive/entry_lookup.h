#pragma once
// Lookups of entries by name in an open archive file: scan the blocks, unpack what a solid
// archive needs before the entry, extract the entry. An EntryLookup serves any number of
// lookups on one file and keeps the decoder where the last one left it, so that a later entry
// of the same solid chain continues from there instead of decoding everything before it again.
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/byte_sink.h"

namespace morvane {

class Rar20Unpacker;
struct BlockHeader;

// Every real lookup uses the default options; fuzzers and tests shrink them so that a run costs
// little.
struct LookupOptions {
  std::uint32_t window_size = 1u << 20;  // the unpacker's ring window
  // Output reserved before decoding; a larger entry grows its buffer as it is decoded, so that
  // a damaged UNP_SIZE does not claim gigabytes before a byte has been produced.
  std::size_t reserve_limit = 16u << 20;
  // The largest entry a lookup into memory takes, far above any asset of the show. A larger one
  // is refused, and so is, in a solid archive, every entry whose decoding has to go through it.
  // Extraction to a sink takes every size the format can state.
  std::uint32_t max_load_size = 64u << 20;
};

enum class LookupStatus {
  found,
  failed,     // not an archive, name not found, version not extracted, damaged block structure
  too_large,  // refused: see refused_name and refused_size
};

struct LookupResult {
  LookupStatus status = LookupStatus::failed;
  std::string refused_name;  // the entry over the limit: the wanted one or one before it
  std::uint32_t refused_size = 0;
};

class EntryLookup {
 public:
  // Borrows the file, which must stay open and unchanged while this lives.
  explicit EntryLookup(std::FILE* file, const LookupOptions& options = {});
  ~EntryLookup();
  EntryLookup(const EntryLookup&) = delete;
  EntryLookup& operator=(const EntryLookup&) = delete;

  // Reads the marker and the main header; false when the file is not an archive.
  bool open();

  // The entry's bytes (possibly fewer than its UNP_SIZE when its data is damaged or cut short),
  // appended to bytes. Names match without regard to letter case or path separator.
  LookupResult load(std::string_view wanted, std::vector<std::uint8_t>& bytes);
  // The entry's bytes to sink as they are decoded, whatever its size. Throws what the sink throws.
  LookupResult extract(std::string_view wanted, ByteSink& sink);

  // True when nothing a later lookup could continue from is left: the last entry of a solid
  // chain has been decoded, or the archive is not solid. Dropping the object then loses nothing
  // but the open file.
  bool spent() const { return spent_; }

  // Bytes the decoder has produced over all lookups, for checking that each is decoded once.
  std::uint64_t decoded_bytes() const { return decoded_bytes_; }

 private:
  // Where a decoded entry of the chain lies in the decoded stream.
  struct Decoded {
    std::uint64_t ordinal;
    std::uint64_t stream_start;
    std::uint64_t delivered;  // what a lookup of it delivers: its bytes, cut at its UNP_SIZE
  };

  LookupResult find(std::string_view wanted, ByteSink& sink, std::vector<std::uint8_t>* reserve, bool limited);
  // False when the entry's data cannot be reached.
  bool deliver(const BlockHeader& entry, std::uint64_t ordinal, ByteSink& sink);
  bool decode_solid(const BlockHeader& entry, std::uint64_t ordinal, ByteSink& sink);
  bool decode(const BlockHeader& entry, std::uint64_t ordinal, ByteSink* sink);
  Rar20Unpacker& unpacker();

  std::FILE* file_;
  LookupOptions options_;
  bool solid_ = false;
  std::uint64_t first_block_ = 0;  // file offset of the first block behind the main header
  std::unique_ptr<Rar20Unpacker> unpacker_;
  bool unpacker_used_ = false;
  // The decoder's place in a solid chain: the file header it would take next (counted from 0
  // over the file headers) and where that header's scan starts. Invalid after an exception.
  bool chain_valid_ = false;
  std::uint64_t chain_next_ = 0;
  std::uint64_t chain_offset_ = 0;
  std::deque<Decoded> recent_;
  bool spent_ = false;
  std::uint64_t decoded_bytes_ = 0;
};

// One self-contained lookup into memory; nullopt on any failure or refusal. Never throws.
std::optional<std::vector<std::uint8_t>> lookup_entry(std::FILE* file, std::string_view wanted,
                                                      const LookupOptions& options = {}) noexcept;

}  // namespace morvane
