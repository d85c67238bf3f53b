#pragma once
// The textured tunnel: a texture wrapped around the inside of a tunnel through a precomputed
// angle and distance map, lit by a scrolling picture of shade values. Plays until order 31.
#include <cstdint>
#include <memory>

#include "demo_parts/picture_source.h"
#include "demo_parts/tunnel/tunnel_run.h"
#include "core/demo_part.h"

namespace morvane {

class TunnelPart final : public DemoPart {
 public:
  // The load step without the archive: builds the map, reads the two pictures, doubles the
  // texture and builds the table.
  void load_from(const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded buffers (only valid after a load).
  TunnelAssets assets() const;

 protected:
  void load_assets(const Archive& archive) override { load_from(ArchivePictures(archive)); }
  void release() noexcept override;

 private:
  std::unique_ptr<std::uint8_t[]> shading_;
  std::unique_ptr<std::uint8_t[]> texture_;
  std::unique_ptr<std::uint8_t[]> palette_;
  std::unique_ptr<Rgb565[]> shade_;
  std::unique_ptr<std::uint8_t[]> map_;
  std::unique_ptr<std::uint8_t[]> texels_;
};

}  // namespace morvane
