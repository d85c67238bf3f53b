// Fuzz target: any bytes as a 3DS file, loaded into a scene and, when that works, rendered once
// from the file's camera or a fixed one. Loading may fail with a message; nothing may crash. A
// vertex list read after the faces may leave them pointing past the vertices: the renderer is
// the one to skip such faces (a crasher keeps that case).
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "engine/3ds/scene_loader.h"
#include "engine/render.h"
#include "engine/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  static std::vector<Rgb565> frame(kFramePixels);
  const std::vector<std::uint8_t> bytes(data, data + size);
  Scene scene("fuzz", 24, 4, 4, 2, 16);
  try {
    load_3ds(scene, "fuzz.3ds", [&](std::string_view) { return bytes; }, "[Element1]");
  } catch (const std::runtime_error&) {
    return 0;
  }
  if (scene.active_camera() < 0) {
    if (Camera* cam = scene.camera(scene.make_camera("look"))) cam->position = {30, 40, -200};
  }
  scene.set_target_frame(frame);
  render_scene(scene);
  return 0;
}
