#pragma once
// The player's sound library: libopenmpt renders the module, SDL audio plays it at 44100 Hz,
// Zxx commands fire from the audio thread when their row is heard.
#include <memory>

#include "main/sound_library.h"

namespace morvane {

class SdlSoundLibrary final : public SoundLibrary {
 public:
  SdlSoundLibrary();
  ~SdlSoundLibrary() override;
  float version() override;
  bool init(int mix_rate, int channels, unsigned flags) override;
  SoundModule* load_song(const char* path) override;
  bool set_zxx_callback(SoundModule* module, ZxxCallback callback) override;
  bool play_song(SoundModule* module) override;
  bool set_looping(SoundModule* module, bool looping) override;
  int order(SoundModule* module) override;
  int time_ms(SoundModule* module) override;
  bool free_song(SoundModule* module) override;
  void close() override;
  int last_error() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvane
