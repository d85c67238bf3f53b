#include "tools/capture/scene_tracker.h"

namespace morvane::capture {

class TrackedPart final : public DemoPart {
 public:
  TrackedPart(SceneTracker& tracker, int position, std::unique_ptr<DemoPart> inner)
      : tracker_(tracker), position_(position), inner_(std::move(inner)) {}
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override {
    tracker_.current_ = position_;
    inner_->run(screen, music, frame);
  }

 protected:
  void load_assets(const Archive& archive) override { inner_->load(archive); }
  void release() noexcept override { inner_->teardown(); }

 private:
  SceneTracker& tracker_;
  int position_;
  std::unique_ptr<DemoPart> inner_;
};

std::unique_ptr<DemoPart> SceneTracker::wrap(int playing_position, std::unique_ptr<DemoPart> inner) {
  if (!inner) return nullptr;
  return std::make_unique<TrackedPart>(*this, playing_position, std::move(inner));
}

}  // namespace morvane::capture
