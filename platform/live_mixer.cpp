#include "platform/live_mixer.h"

#include <algorithm>

namespace morvane {

void LiveMixer::play(SoundModule& module) {
  std::lock_guard lock(mutex_);
  playing_ = &module;
}

void LiveMixer::stop(const SoundModule& module) {
  std::lock_guard lock(mutex_);
  if (playing_ == &module) playing_ = nullptr;
}

void LiveMixer::stop_all() {
  std::lock_guard lock(mutex_);
  playing_ = nullptr;
}

bool LiveMixer::playing(const SoundModule& module) {
  std::lock_guard lock(mutex_);
  return playing_ == &module;
}

void LiveMixer::mix(std::span<std::int16_t> out, std::int64_t now_ns) {
  std::lock_guard lock(mutex_);
  if (playing_ == nullptr || playing_->renderer == nullptr) {
    std::fill(out.begin(), out.end(), std::int16_t{0});
    return;
  }
  SoundModule& module = *playing_;
  ModuleRenderer& renderer = *module.renderer;
  // What was queued last time reaches the speaker now.
  const std::int64_t playing_start = module.queued_start;
  const std::int64_t playing_frames = module.queued_frames;
  std::int64_t queued = 0;
  if (paused()) {
    std::fill(out.begin(), out.end(), std::int16_t{0});
  } else {
    renderer.set_looping(module.looping.load(std::memory_order_relaxed));
    module.reader.read(renderer, module.sample_rate, out);
    queued = static_cast<std::int64_t>(out.size() / 2);
  }
  module.queued_start = playing_start + playing_frames;
  module.queued_frames = queued;
  module.clock.publish(playing_start, playing_frames, renderer.frames_rendered(), now_ns);
  deliver_heard(module, playing_start + playing_frames / 2);
}

}  // namespace morvane
