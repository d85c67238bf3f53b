#pragma once
// The operations the program needs of a sound library. The player's implementation decodes
// with libopenmpt and plays through SDL audio (platform/); the capture tool renders offline;
// tests script it.
#include <cstdint>
#include <string_view>

namespace morvane {

struct SoundModule;  // opaque module handle of an implementation
using ZxxCallback = void (*)(SoundModule* module, std::uint8_t parameter);

class SoundLibrary {
 public:
  virtual ~SoundLibrary() = default;
  virtual float version() = 0;
  // mix_rate in Hz, software channels, flags; false on failure (see last_error()).
  virtual bool init(int mix_rate, int channels, unsigned flags) = 0;
  // A hint that load_song(path) follows: a library may start reading the module now. It
  // changes nothing that load_song or last_error give.
  virtual void prepare_song(const char* /*path*/) {}
  // The module, or nullptr on failure (see last_error()).
  virtual SoundModule* load_song(const char* path) = 0;
  virtual bool set_zxx_callback(SoundModule* module, ZxxCallback callback) = 0;
  virtual bool play_song(SoundModule* module) = 0;
  virtual bool set_looping(SoundModule* module, bool looping) = 0;
  virtual int order(SoundModule* module) = 0;
  // Milliseconds played since the module started.
  virtual int time_ms(SoundModule* module) = 0;
  virtual bool free_song(SoundModule* module) = 0;
  // Shuts the library down; harmless when already closed.
  virtual void close() = 0;
  virtual int last_error() = 0;
};

// Error codes of last_error().
enum SoundError : int {
  kSoundOk = 0,
  kSoundErrorInitialized = 1,
  kSoundErrorUninitialized = 2,
  kSoundErrorInit = 3,
  kSoundErrorFileNotFound = 9,
  kSoundErrorFormat = 10,
  kSoundErrorFileLoad = 11,
  kSoundErrorMemory = 12,
  kSoundErrorVersion = 13,
  kSoundErrorInvalidParam = 14,
};

// The message for an error code; "Unknown error" outside 0..18.
std::string_view error_text(int code);

}  // namespace morvane
