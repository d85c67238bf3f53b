#include "demo_parts/flight/flight_part.h"

#include <cmath>
#include <stdexcept>

#include "core/music.h"
#include "core/song_event.h"
#include "screen/screen.h"

namespace morvane {
namespace {

template <std::size_t N, typename T>
std::span<T, N> whole(const std::unique_ptr<T[]>& buffer) {
  return std::span<T, N>(buffer.get(), N);
}

}  // namespace

void FlightPart::load_from(const FileSource& files, const PictureSource& pictures) {
  scene_ = std::make_unique<Scene>("Zava3z", 100, 2, 2, 2, 5);
  // The file's meshes hang under this element.
  load_scene(*scene_, "morvane.3ds", files, "[Element1]", 1);
  scene_->make_camera("Ca");
  render_ = std::make_unique<Rgb565[]>(kFramePixels);
  palette_ = std::make_unique<std::uint8_t[]>(kFlightPaletteBytes);
  picture_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  pictures.load_picture("morvane.pcx", whole<kFramePixels>(picture_), whole<kFlightPaletteBytes>(palette_));
  fade_ = std::make_unique_for_overwrite<Pixel32[]>(kFadeEntries);
  build_fade_table(whole<kFlightPaletteBytes>(palette_), whole<kFadeEntries>(fade_));
}

void FlightPart::load_assets(const Archive& archive) {
  load_from([&archive](std::string_view name) { return archive.load_raw_file(name); }, ArchivePictures(archive));
}

FlightAssets FlightPart::assets() const {
  if (!scene_ || !fade_) throw std::logic_error("camera flight used before its load");
  // The camera table's first entry: the file's own camera if it brought one, else "Ca".
  Camera* camera = scene_->camera(0);
  if (!camera) throw std::logic_error("camera flight without a camera");
  return FlightAssets{scene_.get(), camera, whole<kFramePixels>(render_), whole<kFadeEntries>(fade_),
                      whole<kFramePixels>(picture_)};
}

std::span<const std::uint8_t, kFlightPaletteBytes> FlightPart::palette() const {
  if (!palette_) throw std::logic_error("camera flight used before its load");
  return whole<kFlightPaletteBytes>(palette_);
}

void FlightPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  if (frame.size() < static_cast<std::size_t>(kFramePixels)) throw std::logic_error("frame buffer too small");
  const auto pixels = frame.first<kFramePixels>();
  FlightRun state(assets());

  state.begin(pixels);
  // A whole number of ticks: both phases measure their time from it.
  const float t0 = std::trunc(music.ticks());
  for (;;) {
    music.order();  // read as every frame reads the clock; the flight ignores it
    const float t = music.ticks() - t0;
    state.draw_flight_frame(t, pixels);
    // Any other command is taken and ignored.
    const auto event = song_event().take();
    const bool flash = event == kFlightFlashEvent;
    if (flash) state.flash(t, pixels);
    screen.present_doubled(pixels);
    if (flash) break;
  }

  screen.resize(kDisplayWidth, kDisplayHeight);
  const std::span<Pixel32> direct = screen.direct_pixels();
  if (direct.size() < static_cast<std::size_t>(kDisplayPixels)) throw std::logic_error("display buffer too small");
  int order = 0;
  do {
    order = music.order();
    const float t = music.ticks() - t0;
    state.draw_reveal_frame(t, direct.first<kDisplayPixels>());
    screen.present_direct();
  } while (order < kFlightLastOrder);
  screen.resize(kFrameWidth, kFrameHeight);
}

void FlightPart::release() noexcept {
  // The scene first: it is the first of the part's owned records.
  scene_.reset();
  render_.reset();
  fade_.reset();
  palette_.reset();
  picture_.reset();
}

}  // namespace morvane
