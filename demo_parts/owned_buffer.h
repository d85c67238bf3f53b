#pragma once
// Scenes own their buffers as fixed-size heap arrays; this views one whole, with its size in
// the type, for the kernels that take fixed-extent spans.
#include <cstddef>
#include <memory>
#include <span>

namespace morvane {

template <std::size_t N, typename T>
std::span<T, N> whole(const std::unique_ptr<T[]>& buffer) {
  return std::span<T, N>(buffer.get(), N);
}

}  // namespace morvane
