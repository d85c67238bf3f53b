#pragma once
// The opening scene: two pictures shown through shade tables whose level follows the song, a
// mask, and a glow layer lit by bars on the module's commands and by a rotating point cloud.
// Plays from the start of the module until order 11.
#include <array>
#include <cstdint>
#include <memory>

#include "demo_parts/opening/opening_run.h"
#include "demo_parts/picture_source.h"
#include "core/demo_part.h"

namespace morvane {

class OpeningPart final : public DemoPart {
 public:
  // The load step without the archive: draws the points from the program's generator, reads
  // the pictures from the source and builds both tables.
  void load_from(const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded buffers (only valid after a load).
  OpeningAssets assets() const;

 protected:
  void load_assets(const Archive& archive) override { load_from(ArchivePictures(archive)); }
  void release() noexcept override;

 private:
  // What the load fills whole (pictures, tables) is left uninitialised; only buffers the run
  // reads before writing start zeroed.
  struct Buffers {
    std::array<std::uint8_t, kSpriteSide * kSpriteSide> sprite;
    std::array<std::uint8_t, kFramePixels> mask_image;
    std::array<std::uint8_t, kFramePixels> image1;
    std::array<std::uint8_t, kFramePixels> image2;
    std::array<Rgb565, kOpeningShadeEntries> shade1;
    std::array<Rgb565, kOpeningShadeEntries> shade2;
    std::array<std::uint8_t, kFramePixels> glow{};
    std::array<CloudPoint, kCloudPoints> points;
  };
  std::unique_ptr<Buffers> buffers_;
};

}  // namespace morvane
