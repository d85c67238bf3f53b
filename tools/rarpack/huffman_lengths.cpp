#include "tools/rarpack/huffman_lengths.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <vector>

namespace morvane {
namespace {

struct Item {
  std::uint64_t weight;
  std::int32_t leaf;  // symbol of a leaf, -1 for a package of two items of the level below
};

}  // namespace

void build_code_lengths(std::span<const std::uint32_t> counts, int max_length,
                        std::span<std::uint8_t> lengths) {
  assert(lengths.size() == counts.size());
  std::fill(lengths.begin(), lengths.end(), std::uint8_t{0});
  std::vector<Item> leaves;
  for (std::size_t s = 0; s < counts.size(); ++s)
    if (counts[s] > 0) leaves.push_back({counts[s], static_cast<std::int32_t>(s)});
  if (leaves.empty()) return;
  if (leaves.size() == 1) {
    lengths[static_cast<std::size_t>(leaves[0].leaf)] = 1;
    return;
  }
  assert(leaves.size() <= (std::size_t{1} << max_length));
  std::stable_sort(leaves.begin(), leaves.end(),
                   [](const Item& a, const Item& b) { return a.weight < b.weight; });

  // levels[j]: the leaves merged with the packages made from pairs of levels[j - 1].
  std::vector<std::vector<Item>> levels(static_cast<std::size_t>(max_length));
  levels[0] = leaves;
  for (std::size_t j = 1; j < levels.size(); ++j) {
    const std::vector<Item>& below = levels[j - 1];
    std::vector<Item>& level = levels[j];
    level.reserve(leaves.size() + below.size() / 2);
    std::size_t li = 0;
    for (std::size_t pi = 0; pi + 1 < below.size(); pi += 2) {
      const std::uint64_t w = below[pi].weight + below[pi + 1].weight;
      while (li < leaves.size() && leaves[li].weight <= w) level.push_back(leaves[li++]);
      level.push_back({w, -1});
    }
    while (li < leaves.size()) level.push_back(leaves[li++]);
  }

  // The first 2n - 2 items of the top level are the optimal choice; every time a leaf is
  // chosen on some level its code gets one bit longer. Packages chosen on a level are always a
  // prefix of that level's packages, so they select a prefix of the level below.
  std::size_t take = 2 * leaves.size() - 2;
  for (std::size_t j = levels.size(); j-- > 0 && take > 0;) {
    std::size_t packages = 0;
    for (std::size_t i = 0; i < take; ++i) {
      const Item& item = levels[j][i];
      if (item.leaf >= 0)
        ++lengths[static_cast<std::size_t>(item.leaf)];
      else
        ++packages;
    }
    take = 2 * packages;
  }
}

void build_canonical_codes(std::span<const std::uint8_t> lengths, std::span<std::uint16_t> codes) {
  assert(codes.size() == lengths.size());
  std::array<std::uint32_t, 17> count{};
  for (std::uint8_t l : lengths) ++count[l];
  count[0] = 0;
  std::array<std::uint32_t, 17> next{};
  std::uint32_t code = 0;
  for (int l = 1; l <= 16; ++l) {
    code = (code + count[static_cast<std::size_t>(l - 1)]) << 1;
    next[static_cast<std::size_t>(l)] = code;
  }
  for (std::size_t s = 0; s < lengths.size(); ++s)
    codes[s] = lengths[s] ? static_cast<std::uint16_t>(next[lengths[s]]++) : std::uint16_t{0};
}

}  // namespace morvane
