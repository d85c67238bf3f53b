// Placeholder until the libopenmpt/SDL audio layer lands: initialises, but loads nothing.
#include "platform/sdl_sound_library.h"

namespace morvane {

struct SdlSoundLibrary::Impl {
  int error = kSoundOk;
};

SdlSoundLibrary::SdlSoundLibrary() : impl_(std::make_unique<Impl>()) {}
SdlSoundLibrary::~SdlSoundLibrary() = default;
float SdlSoundLibrary::version() { return 3.6f; }
bool SdlSoundLibrary::init(int, int, unsigned) { return true; }
SoundModule* SdlSoundLibrary::load_song(const char*) {
  impl_->error = kSoundErrorFileNotFound;
  return nullptr;
}
bool SdlSoundLibrary::set_zxx_callback(SoundModule*, ZxxCallback) { return false; }
bool SdlSoundLibrary::play_song(SoundModule*) { return false; }
bool SdlSoundLibrary::set_looping(SoundModule*, bool) { return false; }
int SdlSoundLibrary::order(SoundModule*) { return 0; }
int SdlSoundLibrary::time_ms(SoundModule*) { return 0; }
bool SdlSoundLibrary::free_song(SoundModule*) { return false; }
void SdlSoundLibrary::close() {}
int SdlSoundLibrary::last_error() { return impl_->error; }

}  // namespace morvane
