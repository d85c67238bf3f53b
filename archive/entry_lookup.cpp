#include "archive/entry_lookup.h"

#include <algorithm>
#include <exception>

#include "archive/clipped_reader.h"
#include "archive/entry_name.h"
#include "archive/rar20_unpacker.h"
#include "archive/rar_container.h"

namespace morvane {
namespace {

constexpr std::size_t kMaxWantedName = 255;
constexpr std::uint8_t kMinVersion = 13;
constexpr std::uint8_t kMaxVersion = 20;
// Decoded entries remembered for replay from the window; the show has about thirty entries.
constexpr std::size_t kMaxRemembered = 256;

void copy_stored(ClippedReader& reader, std::uint32_t unp_size, ByteSink& sink) {
  std::size_t left = std::min(unp_size, reader.packed_left());
  std::uint8_t chunk[65536];
  while (left != 0) {
    const std::size_t got = reader.read(std::span(chunk, std::min(left, sizeof chunk)));
    if (got == 0) break;
    sink.write(std::span(chunk, got));
    left -= got;
  }
}

bool extractable(const BlockHeader& block) {
  return block.unp_ver >= kMinVersion && block.unp_ver <= kMaxVersion && block.data_located();
}

// Ends the decoder's validity unless the work in between completes.
class ChainGuard {
 public:
  explicit ChainGuard(bool& valid) : valid_(valid) { valid_ = false; }
  ~ChainGuard() { valid_ = done_; }
  void done() { done_ = true; }

 private:
  bool& valid_;
  bool done_ = false;
};

}  // namespace

EntryLookup::EntryLookup(std::FILE* file, const LookupOptions& options) : file_(file), options_(options) {}
EntryLookup::~EntryLookup() = default;

bool EntryLookup::open() {
  RarContainer archive(file_);
  if (!archive.read_start()) return false;
  const long at = std::ftell(file_);
  if (at < 0) return false;
  first_block_ = static_cast<std::uint64_t>(at);
  solid_ = archive.solid();
  spent_ = !solid_;
  chain_valid_ = true;
  chain_next_ = 0;
  chain_offset_ = first_block_;
  return true;
}

LookupResult EntryLookup::load(std::string_view wanted, std::vector<std::uint8_t>& bytes) {
  VectorSink sink(bytes);
  return find(wanted, sink, &bytes, true);
}

LookupResult EntryLookup::extract(std::string_view wanted, ByteSink& sink) { return find(wanted, sink, nullptr, false); }

// The scan is the one every lookup has always made, over the headers only: the first entry of
// that name wins, and each entry the extraction depends on must be extractable. Decoding then
// starts wherever the decoder already is.
LookupResult EntryLookup::find(std::string_view wanted, ByteSink& sink, std::vector<std::uint8_t>* reserve,
                               bool limited) {
  wanted = wanted.substr(0, std::min(wanted.find('\0'), kMaxWantedName));
  RarContainer archive(file_);
  if (!archive.seek(first_block_)) return {};
  LookupResult refusal;
  std::uint64_t ordinal = 0;
  for (auto block = archive.next_block(); block; block = archive.next_block(), ++ordinal) {
    if (block->type == kSubBlock) return {};
    const bool is_wanted = entry_names_match(block->name, wanted);
    if (solid_ || is_wanted) {
      if (!extractable(*block)) return {};
      // A chain entry is decoded to reach the wanted one, unless it is stored.
      const bool decoded = is_wanted || !block->is_stored();
      if (limited && decoded && block->unp_size > options_.max_load_size &&
          refusal.status != LookupStatus::too_large)
        refusal = {LookupStatus::too_large, block->name.substr(0, block->name.find('\0')), block->unp_size};
    }
    if (is_wanted) {
      if (refusal.status == LookupStatus::too_large) return refusal;
      if (reserve != nullptr) reserve->reserve(reserve->size() + std::min<std::size_t>(block->unp_size, options_.reserve_limit));
      if (!deliver(*block, ordinal, sink)) return {};
      // Nothing can follow the last entry, nor an entry behind which a sub-block ends every lookup.
      if (solid_ && archive.seek(block->next)) {
        const auto next = archive.next_block();
        spent_ = !next || next->type == kSubBlock;
      } else {
        spent_ = true;
      }
      return {LookupStatus::found, {}, 0};
    }
    if (!archive.seek(block->next)) return {};
  }
  return {};
}

bool EntryLookup::deliver(const BlockHeader& entry, std::uint64_t ordinal, ByteSink& sink) {
  if (entry.is_stored()) {
    RarContainer archive(file_);
    if (!archive.seek(entry.data_start())) return false;
    ClippedReader reader(file_, entry.pack_size);
    copy_stored(reader, entry.unp_size, sink);
    return true;
  }
  if (solid_) return decode_solid(entry, ordinal, sink);
  // Outside a solid chain every packed entry starts from a new decoder's state.
  if (unpacker_used_) unpacker().start_over();
  return decode(entry, ordinal, &sink);
}

bool EntryLookup::decode_solid(const BlockHeader& entry, std::uint64_t ordinal, ByteSink& sink) {
  // Still in the window: an entry looked up a second time, or one the chain passed over.
  const auto seen = std::find_if(recent_.begin(), recent_.end(), [&](const Decoded& d) { return d.ordinal == ordinal; });
  if (chain_valid_ && seen != recent_.end() && unpacker().replay(seen->stream_start, seen->delivered, sink)) return true;

  if (!chain_valid_ || chain_next_ > ordinal) {
    if (unpacker_used_) unpacker().start_over();
    recent_.clear();
    chain_next_ = 0;
    chain_offset_ = first_block_;
  }
  ChainGuard guard(chain_valid_);
  RarContainer archive(file_);
  if (!archive.seek(chain_offset_)) return false;
  // The entries between: their headers passed this lookup's checks a moment ago.
  while (chain_next_ < ordinal) {
    const auto block = archive.next_block();
    if (!block || block->type != kFileBlock) return false;
    if (!block->is_stored() && !decode(*block, chain_next_, nullptr)) return false;
    chain_offset_ = block->next;
    ++chain_next_;
    if (!archive.seek(chain_offset_)) return false;
  }
  if (!decode(entry, ordinal, &sink)) return false;
  chain_offset_ = entry.next;
  chain_next_ = ordinal + 1;
  guard.done();
  return true;
}

bool EntryLookup::decode(const BlockHeader& entry, std::uint64_t ordinal, ByteSink* sink) {
  RarContainer archive(file_);
  if (!archive.seek(entry.data_start())) return false;
  ClippedReader reader(file_, entry.pack_size);
  Rar20Unpacker& decoder = unpacker();
  unpacker_used_ = true;
  const std::uint64_t start = decoder.stream_position();
  decoder.unpack(reader, entry.unp_size, entry.continues_solid(), sink);
  const std::uint64_t produced = decoder.stream_position() - start;
  decoded_bytes_ += produced;
  if (!solid_) return true;
  // An entry that starts afresh clears the window, and with it every earlier entry.
  if (!entry.continues_solid()) recent_.clear();
  if (recent_.size() == kMaxRemembered) recent_.pop_front();
  recent_.push_back({ordinal, start, std::min<std::uint64_t>(produced, entry.unp_size)});
  return true;
}

Rar20Unpacker& EntryLookup::unpacker() {
  // The window is only needed once a packed entry has to be decoded.
  if (!unpacker_) unpacker_ = std::make_unique<Rar20Unpacker>(options_.window_size);
  return *unpacker_;
}

std::optional<std::vector<std::uint8_t>> lookup_entry(std::FILE* file, std::string_view wanted,
                                                      const LookupOptions& options) noexcept {
  try {
    EntryLookup lookup(file, options);
    if (!lookup.open()) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (lookup.load(wanted, bytes).status != LookupStatus::found) return std::nullopt;
    return bytes;
  } catch (const std::exception&) {  // out of memory for the window or the output
    return std::nullopt;
  }
}

}  // namespace morvane
