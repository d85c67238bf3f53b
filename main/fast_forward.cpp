#include "main/fast_forward.h"

#include <algorithm>
#include <utility>

#include "platform/sdl_sound_library.h"

namespace morvane {
namespace {

// How often the offline run shows a frame: the window moves and its keys (Escape) work.
constexpr auto kShowEvery = std::chrono::milliseconds(100);
constexpr int kLastScene = 7;

}  // namespace

// A scene as made, that first goes live when it is the start scene, and notes a show that
// ended before its start point.
class FastForwardPart final : public DemoPart {
 public:
  FastForwardPart(FastForward& owner, int position, std::unique_ptr<DemoPart> inner)
      : owner_(owner), position_(position), inner_(std::move(inner)) {}

  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override {
    if (position_ == owner_.until_scene_ && !owner_.live_) owner_.go_live();
    inner_->run(screen, music, frame);
    if (position_ == kLastScene && !owner_.live_) owner_.ended_offline_ = true;
  }

 protected:
  void load_assets(const Archive& archive) override { inner_->load(archive); }
  void release() noexcept override { inner_->teardown(); }

 private:
  FastForward& owner_;
  int position_;
  std::unique_ptr<DemoPart> inner_;
};

FastForward::FastForward(Display& live, SdlSoundLibrary& sound, std::int64_t until_frame, int until_scene)
    : live_display_(live), sound_(sound), until_frame_(until_frame), until_scene_(until_scene) {
  sound_.hold_offline();
}

PartFactory FastForward::wrap(PartFactory make_part) {
  return [this, make_part = std::move(make_part)](int position) -> std::unique_ptr<DemoPart> {
    auto part = make_part(position);
    if (!part) return nullptr;
    return std::make_unique<FastForwardPart>(*this, position, std::move(part));
  };
}

bool FastForward::open(const std::string& title, int width, int height, bool fullscreen) {
  return live_display_.open(title, width, height, fullscreen);
}

void FastForward::update(std::span<const Pixel32> pixels) {
  if (live_) {
    live_display_.update(pixels);
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (!started_) started_ = now;
  if (now - last_shown_ >= kShowEvery) {
    live_display_.update(pixels);
    last_shown_ = now;
  }
  // As in the capture: the frame stands for one step of song; the last step ends exactly on
  // the start point.
  const std::int64_t left = until_frame_ - sound_.offline_frames();
  sound_.advance_offline(std::min(kFramesPerStep, left));
  if (sound_.offline_frames() >= until_frame_) go_live();
}

void FastForward::close() noexcept { live_display_.close(); }

void FastForward::go_live() {
  live_frame_ = sound_.offline_frames();
  const auto now = std::chrono::steady_clock::now();
  offline_time_ = now - started_.value_or(now);
  live_ = true;
  sound_.go_live();
}

}  // namespace morvane
