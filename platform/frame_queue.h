#pragma once
// A first-in first-out queue of things that happen at a frame position of the rendered audio.
// Used by one thread only (the one that renders also delivers). Popping never frees memory and
// the storage is compacted in place, so a steady state allocates nothing.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvane {

template <typename T>
class FrameQueue {
 public:
  explicit FrameQueue(std::size_t reserve = 256) { items_.reserve(reserve); }

  void push(const T& item) {
    if (head_ > 0 && head_ * 2 >= items_.size()) {
      items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
      head_ = 0;
    }
    items_.push_back(item);
  }
  bool empty() const { return head_ == items_.size(); }
  std::size_t size() const { return items_.size() - head_; }
  const T& front() const { return items_[head_]; }
  void pop() {
    if (++head_ == items_.size()) {
      items_.clear();
      head_ = 0;
    }
  }

 private:
  std::vector<T> items_;
  std::size_t head_ = 0;
};

// A Zxx value heard from `frame` on.
struct TimedZ {
  std::int64_t frame = 0;
  std::uint8_t value = 0;
};

// The order number that plays from `frame` on.
struct TimedOrder {
  std::int64_t frame = 0;
  int order = 0;
};

}  // namespace morvane
