#include "core/music.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/song_event.h"

namespace morvane {
namespace {

constexpr float kMinimumVersion = 3.6f;
constexpr int kMixRate = 44100;
constexpr int kSoftwareChannels = 64;
constexpr unsigned kInitFlags = 2;

void on_zxx(SoundModule*, std::uint8_t parameter) { song_event().raise(parameter); }

[[noreturn]] void throw_library_error(int code) { throw std::runtime_error(std::string(error_text(code))); }

}  // namespace

float ms_to_ticks(int ms) {
  // The x 70 wraps like the 32-bit integer product it is; only the x 0.001 is floating point.
  const auto scaled = static_cast<std::int32_t>(static_cast<std::uint32_t>(ms) * 70u);
  return static_cast<float>(scaled * 0.001);
}

Music::Music(SoundLibrary& library) : library_(library) {
  if (library_.version() < kMinimumVersion) throw std::runtime_error("Wrong version of fmod.dll");
  if (!library_.init(kMixRate, kSoftwareChannels, kInitFlags)) throw_library_error(library_.last_error());
}

Music::~Music() {
  free_module();
  library_.close();
}

void Music::load_module(const char* path) {
  module_ = library_.load_song(path);
  if (module_ == nullptr) {
    const int code = library_.last_error();
    library_.close();
    throw_library_error(code);
  }
}

void Music::start() {
  library_.set_zxx_callback(module_, &on_zxx);
  library_.play_song(module_);
  library_.set_looping(module_, false);
}

void Music::free_module() {
  if (module_ == nullptr) return;
  library_.free_song(module_);
  module_ = nullptr;
}

int Music::order() { return library_.order(module_); }

float Music::ticks() { return ms_to_ticks(library_.time_ms(module_)); }

SongClock Music::clock() {
  SongClock clock;
  clock.order = order();
  clock.ticks = ticks();
  return clock;
}

}  // namespace morvane
