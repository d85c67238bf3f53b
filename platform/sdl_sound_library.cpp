#include "platform/sdl_sound_library.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "platform/live_mixer.h"
#include "platform/playout_clock.h"
#include "platform/sound_library_state.h"
#include "platform/wall_clock_output.h"

namespace morvane {

struct SdlSoundLibrary::Impl : SoundLibraryState {
  bool sdl_audio = false;  // the SDL audio subsystem is ours to quit
  SDL_AudioDeviceID device = 0;
  LiveMixer mixer;
  std::unique_ptr<WallClockOutput> silent_output;
  // Fast-forward: play_song() holds the module here instead of playing it.
  bool hold = false;
  SoundModule* held = nullptr;
  std::vector<std::int16_t> scratch;

  static void SDLCALL fill(void* user, Uint8* stream, int length) {
    auto* self = static_cast<Impl*>(user);
    // The device's buffers hold 16-bit stereo frames, as opened.
    std::span<std::int16_t> out(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(length) / 2);
    self->mixer.mix(out.first(out.size() & ~std::size_t{1}), steady_now_ns());
  }

  // The device, or an empty string and the reason none could be opened.
  std::string open_device() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return SDL_GetError();
    sdl_audio = true;
    SDL_AudioSpec want{};
    want.freq = sample_rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = &Impl::fill;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the device wants.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
      std::string reason = SDL_GetError();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      sdl_audio = false;
      return reason.empty() ? "no device" : reason;
    }
    SDL_PauseAudioDevice(device, 0);
    return {};
  }
};

SdlSoundLibrary::SdlSoundLibrary() : impl_(std::make_unique<Impl>()) {}

SdlSoundLibrary::~SdlSoundLibrary() { close(); }

float SdlSoundLibrary::version() { return kSoundLibraryVersion; }

bool SdlSoundLibrary::init(int mix_rate, int channels, unsigned) {
  Impl& s = *impl_;
  if (!s.start(mix_rate, channels)) return false;
  const std::string no_device = s.open_device();
  if (!no_device.empty()) {
    std::fprintf(stderr, "Sound: no usable audio device (%s); the music runs silently.\n", no_device.c_str());
    s.silent_output = std::make_unique<WallClockOutput>(s.mixer, s.sample_rate, kBufferFrames);
  }
  s.initialized = true;
  s.ok();
  return true;
}

void SdlSoundLibrary::prepare_song(const char* path) { impl_->prepare(path); }

SoundModule* SdlSoundLibrary::load_song(const char* path) { return impl_->load(path); }

bool SdlSoundLibrary::set_zxx_callback(SoundModule* handle, ZxxCallback callback) {
  SoundModule* module = impl_->module(handle);
  if (module == nullptr) return false;
  module->callback.store(callback, std::memory_order_release);
  return true;
}

bool SdlSoundLibrary::play_song(SoundModule* handle) {
  Impl& s = *impl_;
  SoundModule* module = s.module(handle);
  if (module == nullptr) return false;
  s.mixer.stop(*module);
  int error = kSoundOk;
  if (s.held == module) s.held = nullptr;
  if (!rewind_sound_module(*module, error)) return s.fail(error);
  if (s.hold) {
    s.held = module;
  } else {
    s.mixer.play(*module);
  }
  s.ok();
  return true;
}

bool SdlSoundLibrary::set_looping(SoundModule* handle, bool looping) {
  SoundModule* module = impl_->module(handle);
  if (module == nullptr) return false;
  module->looping.store(looping, std::memory_order_relaxed);
  return true;
}

int SdlSoundLibrary::order(SoundModule* handle) {
  const SoundModule* module = impl_->module(handle);
  if (module == nullptr) return -1;
  return module->order.load(std::memory_order_acquire);
}

int SdlSoundLibrary::time_ms(SoundModule* handle) {
  SoundModule* module = impl_->module(handle);
  if (module == nullptr) return 0;
  if (module == impl_->held) return frames_to_ms(module->queued_start, module->sample_rate);
  return frames_to_ms(module->clock.heard_frames(steady_now_ns(), module->sample_rate), module->sample_rate);
}

bool SdlSoundLibrary::free_song(SoundModule* handle) {
  Impl& s = *impl_;
  SoundModule* module = s.module(handle);
  if (module == nullptr) return false;
  s.mixer.stop(*module);
  if (s.held == module) s.held = nullptr;
  s.modules.remove(module);
  s.ok();
  return true;
}

void SdlSoundLibrary::close() {
  Impl& s = *impl_;
  if (!s.initialized) return;
  s.preload.discard();
  // The audio thread ends before the modules it renders go.
  if (s.device != 0) SDL_CloseAudioDevice(s.device);
  s.device = 0;
  s.silent_output.reset();
  if (s.sdl_audio) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  s.sdl_audio = false;
  s.mixer.stop_all();
  s.held = nullptr;
  s.hold = false;
  s.modules.clear();
  s.initialized = false;
}

int SdlSoundLibrary::last_error() { return impl_->error.load(std::memory_order_relaxed); }

bool SdlSoundLibrary::silent() const { return impl_->silent_output != nullptr; }

void SdlSoundLibrary::hold_offline() { impl_->hold = true; }

std::int64_t SdlSoundLibrary::advance_offline(std::int64_t frames) {
  Impl& s = *impl_;
  if (s.held == nullptr) return 0;
  std::int64_t music = 0;
  while (frames > 0) {
    const std::int64_t slice = std::min<std::int64_t>(frames, kBufferFrames);
    s.scratch.resize(static_cast<std::size_t>(slice) * 2);
    SoundModule& module = *s.held;
    module.renderer->set_looping(module.looping.load(std::memory_order_relaxed));
    music += module.reader.read(*module.renderer, module.sample_rate, s.scratch);
    // Nothing lies between rendering and hearing here: every event of these frames is due.
    module.queued_start += slice;
    deliver_heard(module, module.queued_start);
    frames -= slice;
  }
  return music;
}

std::int64_t SdlSoundLibrary::offline_frames() const { return impl_->held ? impl_->held->queued_start : 0; }

void SdlSoundLibrary::go_live() {
  Impl& s = *impl_;
  s.hold = false;
  if (s.held == nullptr) return;
  SoundModule& module = *s.held;
  s.held = nullptr;
  // The clock starts where the offline run stopped; the audio thread takes the module (and
  // its clock) over only inside play().
  module.queued_frames = 0;
  module.clock.publish(module.queued_start, 0, module.renderer->frames_rendered(), steady_now_ns());
  s.mixer.play(module);
}

void SdlSoundLibrary::set_paused(bool paused) { impl_->mixer.set_paused(paused); }

bool SdlSoundLibrary::paused() const { return impl_->mixer.paused(); }

}  // namespace morvane
