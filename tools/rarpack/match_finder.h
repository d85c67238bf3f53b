#pragma once
// Hash chains over the packed stream: for a position, the earlier places whose bytes agree with
// it, nearest first, within the 1 MiB window; plus the nearest earlier copy of each byte pair.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace morvane {

struct MatchCandidate {
  std::uint32_t length;
  std::uint32_t distance;
};

class MatchFinder {
 public:
  // `capacity`: the stream length to expect; a short stream gets short tables.
  explicit MatchFinder(std::size_t capacity, int max_chain);

  void reset();

  // Adds every position below `end` that has the three bytes a hash needs to the chains.
  void insert_until(std::span<const std::uint8_t> stream, std::size_t end);

  // Matches at `pos` (every earlier position must be inserted, `pos` itself not), each
  // longer than the one before it and at most `max_length` long; a match at a far distance
  // must be long enough to be worth the decoder's length bonus. Returns how many were stored.
  std::size_t find(std::span<const std::uint8_t> stream, std::size_t pos, std::uint32_t max_length,
                   std::span<MatchCandidate> out) const;

  // Distance to the nearest earlier copy of the two bytes at `pos`, or 0 when there is none.
  std::uint32_t pair_distance(std::span<const std::uint8_t> stream, std::size_t pos) const;

 private:
  static constexpr int kHashBits = 17;
  // A match this long is good enough: looking further down the chain rarely pays.
  static constexpr std::uint32_t kNiceLength = 128;
  std::vector<std::int32_t> head_;      // newest position of each hash
  std::vector<std::int32_t> chain_;     // previous position with the same hash, by pos & mask_
  std::vector<std::int32_t> pair_;      // newest position of each byte pair
  std::size_t mask_;
  std::size_t inserted_ = 0;
  int max_chain_;
};

// Number of equal bytes at `a` and `b` (b < a), at most `limit`.
std::uint32_t match_length(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t limit);

}  // namespace morvane
