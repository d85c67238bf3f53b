#pragma once
// The tunnel finale, last scene of the show: rings, a tunnel and an interference pattern over
// three textures, lit by moving light and switched on the beat by the module's commands, with
// an overlay strip flashing in and black bars closing in towards the end. Plays until command
// 255, which ends the show.
#include <array>
#include <cstdint>
#include <memory>

#include "demo_parts/finale/finale_run.h"
#include "demo_parts/picture_source.h"
#include "core/demo_part.h"

namespace morvane {

inline constexpr int kWaveBufferBytes = 3 * kWavePageBytes;

class FinalePart final : public DemoPart {
 public:
  // The load step without the archive: the light pictures, the overlay (converted, its source
  // let go), the tunnel, polar and ripple tables, the three textures and their shade tables.
  void load_from(const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded buffers (only valid after a load).
  FinaleAssets assets() const;

 protected:
  void load_assets(const Archive& archive) override { load_from(ArchivePictures(archive)); }
  void release() noexcept override;

 private:
  // What the load fills whole (pictures, tables) is left uninitialised, as are the light (the
  // run clears it), the intermediate frame and the wave page (drawn whole before each read);
  // only the colour layer, which the run may show before drawing it, starts zeroed.
  struct Buffers {
    std::array<Rgb565, kOverlayPixels> overlay;
    std::array<std::uint8_t, kFramePixels> colour{};
    std::array<std::uint8_t, kFramePixels> light;
    std::array<Rgb565, kFramePixels> intermediate;
    std::array<std::uint8_t, kFramePixels> light_picture;
    std::array<std::uint8_t, kDoubledTextureBytes> light_texture;
    std::array<std::uint16_t, kRippleEntries> ripple;
    std::array<std::uint16_t, kFramePixels> tunnel;
    std::array<std::uint16_t, kFramePixels> polar;
    std::array<std::array<std::uint8_t, kDoubledTextureBytes>, kFinaleTextures> textures;
    std::array<std::array<Rgb565, kFinaleShadeEntries>, kFinaleTextures> shades;
    // Three pages' worth, so that a whole page starting at a multiple of 65536 fits inside.
    std::array<std::uint8_t, kWaveBufferBytes> wave_buffer;
  };
  std::unique_ptr<Buffers> buffers_;
};

}  // namespace morvane
