#pragma once
// The player's sound library: libopenmpt renders the module, SDL audio plays it at the mix rate
// (44100 Hz for the show), Zxx commands fire from the audio thread when their row is heard.
// Without a usable audio device the same mixer runs silently on a wall-clock thread.
//
// Call it from one thread (the program's); only the Zxx callback runs on the audio thread, and
// it must not call back into the library.
#include <cstdint>
#include <memory>

#include "contracts/sound_library.h"

namespace morvane {

class SdlSoundLibrary final : public SoundLibrary {
 public:
  // Frames per device buffer: SDL's dummy driver keeps real time from this size on.
  static constexpr int kBufferFrames = 1024;

  SdlSoundLibrary();
  ~SdlSoundLibrary() override;
  SdlSoundLibrary(const SdlSoundLibrary&) = delete;
  SdlSoundLibrary& operator=(const SdlSoundLibrary&) = delete;

  float version() override;
  bool init(int mix_rate, int channels, unsigned flags) override;
  // Reads and parses the module on a thread of its own until load_song() asks for it.
  void prepare_song(const char* path) override;
  SoundModule* load_song(const char* path) override;
  bool set_zxx_callback(SoundModule* module, ZxxCallback callback) override;
  // Plays `module` from its start, in place of any module playing.
  bool play_song(SoundModule* module) override;
  bool set_looping(SoundModule* module, bool looping) override;
  int order(SoundModule* module) override;
  int time_ms(SoundModule* module) override;
  bool free_song(SoundModule* module) override;
  void close() override;
  int last_error() override;

  // True after an init that found no usable audio device: the music then runs silently.
  bool silent() const;

  // Fast-forward to a later point of the show. After hold_offline(), a module started by
  // play_song() stays off the device and moves only by advance_offline(): silently, on the
  // calling thread, delivering its events there, its play time being the music rendered (as in
  // the offline library). go_live() hands it to the device, which continues from the very frame
  // it reached.
  void hold_offline();
  // Renders `frames` more frames of the held module; returns the frames of music among them
  // (0 when nothing is held).
  std::int64_t advance_offline(std::int64_t frames);
  // Frames the held module has rendered; 0 when nothing is held.
  std::int64_t offline_frames() const;
  void go_live();

  // Pause: the device plays silence and the song clock stands still until resumed.
  void set_paused(bool paused);
  bool paused() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvane
