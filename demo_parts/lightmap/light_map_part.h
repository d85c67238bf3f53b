#pragma once
// The light-map scene: the stained-glass picture lit by glowing curves, a textured frame and a
// feedback of blur and warp until order 20; then rays of a light source behind a mask, with a
// lens flare, until order 25.
#include <cstdint>
#include <memory>

#include "demo_parts/lightmap/light_map_run.h"
#include "demo_parts/picture_source.h"
#include "core/demo_part.h"

namespace morvane {

class LightMapPart final : public DemoPart {
 public:
  // The load step without the archive: curve weights, the three light pictures, the shade
  // table, the light maps and warp tables, the mask and flares, the grey ramp, and last the ray
  // targets from the program's generator.
  void load_from(const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded buffers (only valid after a load).
  LightMapAssets assets() const;
  std::span<const std::uint8_t, 768> picture_palette() const;

 protected:
  void load_assets(const Archive& archive) override { load_from(ArchivePictures(archive)); }
  void release() noexcept override;

 private:
  std::unique_ptr<Rgb565[]> shade_;
  std::unique_ptr<Rgb565[]> grey_;
  std::unique_ptr<std::uint8_t[]> dot_;
  std::unique_ptr<std::uint8_t[]> picture_;
  std::unique_ptr<std::uint8_t[]> palette_;
  std::unique_ptr<std::uint8_t[]> texture_;
  std::unique_ptr<float[]> weight0_;
  std::unique_ptr<float[]> weight1_;
  std::unique_ptr<float[]> weight2_;
  std::unique_ptr<float[]> weight3_;
  std::unique_ptr<std::uint8_t[]> mask_;
  std::unique_ptr<std::uint8_t[]> mask_palette_;
  std::unique_ptr<std::uint8_t[]> flares_;
  std::unique_ptr<std::uint16_t[]> warp1_;
  std::unique_ptr<std::uint16_t[]> warp2_;
  std::unique_ptr<std::uint8_t[]> map_a_;
  std::unique_ptr<std::uint8_t[]> map_b_;
  std::unique_ptr<Ray[]> rays_;
  std::unique_ptr<CurvePoint[]> points_;
};

}  // namespace morvane
