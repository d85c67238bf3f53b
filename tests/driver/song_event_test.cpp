// The event slot between the audio thread and the frame loop.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/song_event.h"

namespace morvane {
namespace {

TEST(SongEvent, TakeClearsAndLaterEventReplacesEarlier) {
  SongEvent slot;
  EXPECT_FALSE(slot.take().has_value());
  slot.raise(1);
  slot.raise(2);
  EXPECT_TRUE(slot.pending());
  EXPECT_EQ(slot.take(), std::optional<std::uint8_t>(2));
  EXPECT_FALSE(slot.pending());
  slot.raise(0);  // a zero value is still an event
  EXPECT_EQ(slot.take(), std::optional<std::uint8_t>(0));
}

TEST(SongEvent, ReaderOnlySeesValuesTheWriterRaisedInOrder) {
  // The writer raises 1, 2, ..., 250 (each value once); the reader must never see a value that
  // was not raised yet, never see the values go backwards, and see the last one.
  SongEvent slot;
  std::atomic<int> raised{0};
  std::thread writer([&] {
    for (int v = 1; v <= 250; ++v) {
      raised.store(v, std::memory_order_release);
      slot.raise(static_cast<std::uint8_t>(v));
      for (int spin = 0; spin < 20; ++spin) std::this_thread::yield();
    }
  });
  int last = 0;
  bool done = false;
  while (!done) {
    if (auto value = slot.take()) {
      EXPECT_LE(*value, raised.load(std::memory_order_acquire));
      EXPECT_GE(*value, last);
      last = *value;
    }
    done = last == 250;
  }
  writer.join();
  EXPECT_EQ(last, 250);
}

}  // namespace
}  // namespace morvane
