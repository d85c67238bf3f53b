#include "demo_parts/flight/flight_part.h"

#include <stdexcept>

#include "demo_parts/frame_loop.h"
#include "screen/screen.h"

namespace morvane {

void FlightPart::load_from(const FileSource& files, const PictureSource& pictures) {
  scene_ = std::make_unique<Scene>("Zava3z", 100, 2, 2, 2, 5);
  // The file's meshes hang under this element.
  load_scene(*scene_, "morvane.3ds", files, "[Element1]", 1);
  scene_->make_camera("Ca");
  buffers_ = std::make_unique_for_overwrite<Buffers>();
  pictures.load_picture("morvane.pcx", buffers_->picture, buffers_->palette);
  build_fade_table(buffers_->palette, buffers_->fade);
}

void FlightPart::load_assets(const Archive& archive) {
  load_from([&archive](std::string_view name) { return archive.load_raw_file(name); }, ArchivePictures(archive));
}

FlightAssets FlightPart::assets() const {
  if (!scene_ || !buffers_) throw std::logic_error("camera flight used before its load");
  // The camera table's first entry: the file's own camera if it brought one, else "Ca".
  Camera* camera = scene_->camera(0);
  if (!camera) throw std::logic_error("camera flight without a camera");
  return FlightAssets{scene_.get(), camera, buffers_->render, buffers_->fade, buffers_->picture};
}

std::span<const std::uint8_t, kFlightPaletteBytes> FlightPart::palette() const {
  if (!buffers_) throw std::logic_error("camera flight used before its load");
  return buffers_->palette;
}

void FlightPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  // A whole number of ticks: both phases measure their time from it.
  FrameLoop loop(screen, music, frame, PartClock::Start::whole_tick);
  FlightRun state(assets());
  state.begin(loop.pixels());
  // The flight ignores the order; any command other than the flash is taken and dropped.
  loop.play_until(kNoLastOrder, [&](PartClock& clock) {
    state.draw_flight_frame(clock.t(), loop.pixels());
    if (clock.take_event() != kFlightFlashEvent) return FrameEnd::next;
    state.flash(clock.t(), loop.pixels());
    return FrameEnd::last;
  });

  screen.resize(kDisplayWidth, kDisplayHeight);
  const std::span<Pixel32> direct = screen.direct_pixels();
  if (direct.size() < static_cast<std::size_t>(kDisplayPixels)) throw std::logic_error("display buffer too small");
  loop.play_direct_until(kFlightLastOrder, [&](PartClock& clock) {
    state.draw_reveal_frame(clock.t(), direct.first<kDisplayPixels>());
  });
  screen.resize(kFrameWidth, kFrameHeight);
}

void FlightPart::release() noexcept {
  // The scene first: it is the first of the part's owned records.
  scene_.reset();
  buffers_.reset();
}

}  // namespace morvane
