#pragma once
// The textured tunnel: a texture wrapped around the inside of a tunnel through a precomputed
// angle and distance map, lit by a scrolling picture of shade values. Plays until order 31.
#include <array>
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
  // Built or read whole by the load step, except the texels, which each frame writes.
  // What the load fills whole (pictures, tables) is left uninitialised; only buffers the run
  // reads before writing start zeroed.
  struct Buffers {
    // One byte more than the picture, kept 0: see TunnelAssets::shading.
    std::array<std::uint8_t, kTunnelShadingBytes + 1> shading;
    std::array<std::uint8_t, kTunnelTextureBytes> texture;
    std::array<Rgb565, kTunnelShadeEntries> shade;
    std::array<std::uint8_t, kTunnelMapBytes> map;
    std::array<std::uint8_t, kFramePixels> texels{};
  };
  std::unique_ptr<Buffers> buffers_;
};

}  // namespace morvane
