#include "platform/sound_library_state.h"

namespace morvane {

bool SoundLibraryState::start(int mix_rate, int channels) {
  if (initialized) return fail(kSoundErrorInitialized);
  if (mix_rate < ModuleRenderer::kMinSampleRate || mix_rate > ModuleRenderer::kMaxSampleRate || channels < 0) {
    return fail(kSoundErrorInvalidParam);
  }
  sample_rate = mix_rate;
  return true;
}

SoundModule* SoundLibraryState::module(SoundModule* handle) {
  if (!initialized) {
    fail(kSoundErrorUninitialized);
    return nullptr;
  }
  SoundModule* found = modules.find(handle);
  if (found == nullptr) {
    fail(kSoundErrorInvalidParam);
    return nullptr;
  }
  ok();
  return found;
}

void SoundLibraryState::prepare(const char* path) {
  if (initialized) preload.start(path, sample_rate);
}

SoundModule* SoundLibraryState::load(const char* path) {
  if (!initialized) {
    fail(kSoundErrorUninitialized);
    return nullptr;
  }
  int code = kSoundOk;
  std::unique_ptr<SoundModule> loaded;
  if (auto prepared = preload.take(path, sample_rate)) {
    loaded = std::move(prepared->module);
    code = prepared->error;
  } else {
    loaded = load_sound_module(path, sample_rate, code);
  }
  error.store(code, std::memory_order_relaxed);
  return loaded ? modules.add(std::move(loaded)) : nullptr;
}

}  // namespace morvane
