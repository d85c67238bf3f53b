#include "platform/offline_sound_library.h"

#include <algorithm>
#include <vector>

#include "platform/sound_library_state.h"

namespace morvane {
namespace {

// Rendered and delivered in slices of this many frames, so that the event queues stay short
// however far one call advances.
constexpr std::int64_t kSliceFrames = 1024;

}  // namespace

struct OfflineSoundLibrary::Impl : SoundLibraryState {
  SoundModule* playing = nullptr;
  std::vector<std::int16_t> samples;
};

OfflineSoundLibrary::OfflineSoundLibrary() : impl_(std::make_unique<Impl>()) {}

OfflineSoundLibrary::~OfflineSoundLibrary() { close(); }

float OfflineSoundLibrary::version() { return kSoundLibraryVersion; }

bool OfflineSoundLibrary::init(int mix_rate, int channels, unsigned) {
  Impl& s = *impl_;
  if (!s.start(mix_rate, channels)) return false;
  s.initialized = true;
  s.ok();
  return true;
}

void OfflineSoundLibrary::prepare_song(const char* path) { impl_->prepare(path); }

SoundModule* OfflineSoundLibrary::load_song(const char* path) { return impl_->load(path); }

bool OfflineSoundLibrary::set_zxx_callback(SoundModule* handle, ZxxCallback callback) {
  SoundModule* module = impl_->module(handle);
  if (module == nullptr) return false;
  module->callback.store(callback, std::memory_order_relaxed);
  return true;
}

bool OfflineSoundLibrary::play_song(SoundModule* handle) {
  Impl& s = *impl_;
  SoundModule* module = s.module(handle);
  if (module == nullptr) return false;
  s.playing = nullptr;
  int error = kSoundOk;
  if (!rewind_sound_module(*module, error)) return s.fail(error);
  s.playing = module;
  return true;
}

bool OfflineSoundLibrary::set_looping(SoundModule* handle, bool looping) {
  SoundModule* module = impl_->module(handle);
  if (module == nullptr) return false;
  module->looping.store(looping, std::memory_order_relaxed);
  return true;
}

int OfflineSoundLibrary::order(SoundModule* handle) {
  const SoundModule* module = impl_->module(handle);
  return module == nullptr ? -1 : module->order.load(std::memory_order_relaxed);
}

int OfflineSoundLibrary::time_ms(SoundModule* handle) {
  const SoundModule* module = impl_->module(handle);
  if (module == nullptr || module->renderer == nullptr) return 0;
  return frames_to_ms(module->renderer->frames_rendered(), module->sample_rate);
}

bool OfflineSoundLibrary::free_song(SoundModule* handle) {
  Impl& s = *impl_;
  SoundModule* module = s.module(handle);
  if (module == nullptr) return false;
  if (s.playing == module) s.playing = nullptr;
  s.modules.remove(module);
  return true;
}

void OfflineSoundLibrary::close() {
  Impl& s = *impl_;
  if (!s.initialized) return;
  s.preload.discard();
  s.playing = nullptr;
  s.modules.clear();
  s.initialized = false;
}

int OfflineSoundLibrary::last_error() { return impl_->error.load(std::memory_order_relaxed); }

std::int64_t OfflineSoundLibrary::advance_frames(std::int64_t frames) {
  Impl& s = *impl_;
  if (s.playing == nullptr || frames <= 0) return 0;
  SoundModule& module = *s.playing;
  ModuleRenderer& renderer = *module.renderer;
  std::int64_t music = 0;
  while (frames > 0) {
    const std::int64_t slice = std::min(frames, kSliceFrames);
    const std::size_t at = s.samples.size();
    s.samples.resize(at + static_cast<std::size_t>(slice) * 2);
    renderer.set_looping(module.looping.load(std::memory_order_relaxed));
    music += static_cast<std::int64_t>(renderer.render(std::span<std::int16_t>(s.samples).subspan(at)));
    module.queued_start += slice;  // every frame rendered counts as heard
    deliver_heard(module, module.queued_start);
    frames -= slice;
  }
  return music;
}

bool OfflineSoundLibrary::finished() const {
  const SoundModule* module = impl_->playing;
  return module == nullptr || module->renderer->ended();
}

int OfflineSoundLibrary::mix_rate() const { return impl_->sample_rate; }

std::span<const std::int16_t> OfflineSoundLibrary::samples() const { return impl_->samples; }

void OfflineSoundLibrary::discard_samples() { impl_->samples.clear(); }

}  // namespace morvane
