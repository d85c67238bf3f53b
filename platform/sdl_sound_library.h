#pragma once
// The player's sound library: libopenmpt renders the module, SDL audio plays it at the mix rate
// (44100 Hz for the show), Zxx commands fire from the audio thread when their row is heard.
// Without a usable audio device the same mixer runs silently on a wall-clock thread.
//
// Call it from one thread (the program's); only the Zxx callback runs on the audio thread, and
// it must not call back into the library.
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

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvane
