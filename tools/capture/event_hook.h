#pragma once
// A sound library that forwards every call to another one and also reports each Zxx event to
// the capture, so the log can say which event each frame took.
#include <functional>

#include "contracts/sound_library.h"

namespace morvane::capture {

class EventHookedLibrary final : public SoundLibrary {
 public:
  using Observer = std::function<void(std::uint8_t)>;
  // Only one hooked library may install a callback at a time (callbacks carry no context).
  EventHookedLibrary(SoundLibrary& inner, Observer observer);
  ~EventHookedLibrary() override;

  float version() override { return inner_.version(); }
  bool init(int mix_rate, int channels, unsigned flags) override { return inner_.init(mix_rate, channels, flags); }
  void prepare_song(const char* path) override { inner_.prepare_song(path); }
  SoundModule* load_song(const char* path) override { return module_ = inner_.load_song(path); }
  bool set_zxx_callback(SoundModule* module, ZxxCallback callback) override;
  bool play_song(SoundModule* module) override { return inner_.play_song(module); }
  bool set_looping(SoundModule* module, bool looping) override { return inner_.set_looping(module, looping); }
  int order(SoundModule* module) override { return inner_.order(module); }
  int time_ms(SoundModule* module) override { return inner_.time_ms(module); }
  bool free_song(SoundModule* module) override { return inner_.free_song(module); }
  void close() override { inner_.close(); }
  int last_error() override { return inner_.last_error(); }
  // The module the driver loaded (null before).
  SoundModule* module() const { return module_; }

 private:
  static void forward(SoundModule* module, std::uint8_t parameter);
  SoundLibrary& inner_;
  Observer observer_;
  ZxxCallback installed_ = nullptr;
  SoundModule* module_ = nullptr;
};

}  // namespace morvane::capture
