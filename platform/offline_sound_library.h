#pragma once
// A sound library without a device or threads, for frame-exact capture: the caller advances
// the song by a number of frames; the module is rendered into memory and every Zxx command and
// order change whose frame has been reached is delivered (through the installed callback) on
// the caller's thread. Play time is the rendered music in milliseconds. The renderer and the
// delivery are the live layer's own, so events land on the same frames.
#include <cstdint>
#include <memory>
#include <span>

#include "contracts/sound_library.h"

namespace morvane {

class OfflineSoundLibrary final : public SoundLibrary {
 public:
  OfflineSoundLibrary();
  ~OfflineSoundLibrary() override;
  OfflineSoundLibrary(const OfflineSoundLibrary&) = delete;
  OfflineSoundLibrary& operator=(const OfflineSoundLibrary&) = delete;

  float version() override;
  bool init(int mix_rate, int channels, unsigned flags) override;
  // Reads and parses the module on a thread of its own until load_song() asks for it.
  void prepare_song(const char* path) override;
  SoundModule* load_song(const char* path) override;
  bool set_zxx_callback(SoundModule* module, ZxxCallback callback) override;
  // Plays `module` from its start, in place of any module playing; nothing is rendered until
  // advance_frames().
  bool play_song(SoundModule* module) override;
  bool set_looping(SoundModule* module, bool looping) override;
  int order(SoundModule* module) override;
  int time_ms(SoundModule* module) override;
  bool free_song(SoundModule* module) override;
  void close() override;
  int last_error() override;

  // Renders `frames` more frames of the playing module (silence after its end) and delivers
  // every event of the frames rendered so far. Returns the frames of music among them; 0 when
  // nothing plays.
  std::int64_t advance_frames(std::int64_t frames);
  // True once the playing module reached its end (or nothing plays).
  bool finished() const;
  int mix_rate() const;
  // Every frame rendered since the last discard_samples(): interleaved 16-bit left, right.
  std::span<const std::int16_t> samples() const;
  void discard_samples();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvane
