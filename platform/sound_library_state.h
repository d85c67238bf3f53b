#pragma once
// What the live and the offline sound library share: version, last error, init state, the
// loaded modules and the handle checks every call makes.
#include <atomic>

#include "contracts/sound_library.h"
#include "platform/sound_module.h"

namespace morvane {

inline constexpr float kSoundLibraryVersion = 3.6f;

struct SoundLibraryState {
  // Atomic because the live layer is asked from the program's thread while tests watch it.
  std::atomic<int> error{kSoundOk};
  bool initialized = false;
  int sample_rate = 0;
  SoundModules modules;
  // The module prepare_song() began reading; dropped when the library closes.
  ModulePreload preload;

  bool fail(int code) {
    error.store(code, std::memory_order_relaxed);
    return false;
  }
  void ok() { error.store(kSoundOk, std::memory_order_relaxed); }
  // The checks of init(): not twice, a rate the renderer supports; records the rate.
  bool start(int mix_rate, int channels);
  // The module behind a handle of ours (error cleared); null with the error for anything else.
  SoundModule* module(SoundModule* handle);
  // prepare_song(): only an initialised library knows the rate a module is made for.
  void prepare(const char* path);
  // load_song() without the playing side: null with the error when it cannot be loaded.
  SoundModule* load(const char* path);
};

}  // namespace morvane
