#pragma once
// The light-map scene: the stained-glass picture lit by glowing curves, a textured frame and a
// feedback of blur and warp until order 20; then rays of a light source behind a mask, with a
// lens flare, until order 25.
#include <array>
#include <cstdint>
#include <memory>

#include "demo_parts/lightmap/light_map_run.h"
#include "demo_parts/picture_source.h"
#include "core/demo_part.h"

namespace morvane {

class LightMapPart final : public DemoPart {
 public:
  // The load step without the archive: curve weights, the three light pictures, the shade
  // table, the light maps and warp tables, the mask and flares, and last the ray
  // targets from the program's generator.
  void load_from(const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded buffers (only valid after a load).
  LightMapAssets assets() const;

 protected:
  void load_assets(const Archive& archive) override { load_from(ArchivePictures(archive)); }
  void release() noexcept override;

 private:
  // What the load fills whole (pictures, tables) is left uninitialised; only buffers the run
  // reads before writing start zeroed.
  struct Buffers {
    std::array<Rgb565, kLightShadeEntries> shade;
    std::array<std::uint8_t, kDotSide * kDotSide> dot;
    std::array<std::uint8_t, kFramePixels> picture;
    std::array<std::uint8_t, kFrameTextureBytes> texture;
    std::array<std::array<float, kCurveWeightEntries>, 4> weights{};
    // The mask picture, then rows of 255 (see kMaskBufferBytes).
    std::array<std::uint8_t, kMaskBufferBytes> mask;
    std::array<std::uint8_t, kFlareSheetBytes> flares;
    std::array<std::uint16_t, kFramePixels> warp1;
    std::array<std::uint16_t, kFramePixels> warp2;
    std::array<std::uint8_t, kLightMapBytes> map_a{};
    std::array<std::uint8_t, kLightMapBytes> map_b{};
    std::array<Ray, kRayCount> rays{};
    std::array<std::uint16_t, kRayHitCells> ray_hits{};
    std::array<CurvePoint, kCurvePointStore> points{};
  };
  std::unique_ptr<Buffers> buffers_;
};

}  // namespace morvane
