#pragma once
// The camera flight: a camera circles the show's 3D scene, each render averaged into the frame
// before so that edges leave trails. On the module's flash command the screen goes white and a
// picture emerges from it at the full display size, zooming out from its centre, until order 16.
#include <array>
#include <cstdint>
#include <memory>

#include "demo_parts/flight/flight_run.h"
#include "demo_parts/picture_source.h"
#include "engine/3ds/scene_loader.h"
#include "engine/scene.h"
#include "core/demo_part.h"

namespace morvane {

class FlightPart final : public DemoPart {
 public:
  // The load step without the archive: builds the scene from "morvane.3ds" in files (its face
  // colours draw from the program's generator), adds the camera "Ca", reads the picture and
  // builds the fade table.
  void load_from(const FileSource& files, const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded scene and buffers (only valid after a load).
  FlightAssets assets() const;
  std::span<const std::uint8_t, kFlightPaletteBytes> palette() const;

 protected:
  void load_assets(const Archive& archive) override;
  void release() noexcept override;

 private:
  // What the load fills whole (pictures, tables) is left uninitialised; only buffers the run
  // reads before writing start zeroed.
  struct Buffers {
    std::array<Rgb565, kFramePixels> render{};
    std::array<Pixel32, kFadeEntries> fade;
    std::array<std::uint8_t, kFlightPaletteBytes> palette;
    std::array<std::uint8_t, kFramePixels> picture;
  };
  std::unique_ptr<Scene> scene_;
  std::unique_ptr<Buffers> buffers_;
};

}  // namespace morvane
