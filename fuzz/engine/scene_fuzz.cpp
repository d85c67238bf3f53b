// Fuzz target: any bytes as a 3DS file, loaded into a roomy scene and, when that works,
// rendered once from a fixed camera. Loading may fail with a message; nothing may crash.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "engine/3ds/scene_loader.h"
#include "engine/render.h"
#include "engine/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  const std::vector<std::uint8_t> bytes(data, data + size);
  Scene scene("fuzz", 256, 8, 8, 2, 64);
  try {
    load_3ds(scene, "fuzz.3ds", [&](std::string_view) { return bytes; }, "[Element1]");
  } catch (const std::runtime_error&) {
    return 0;
  }
  if (scene.active_camera() < 0) {
    Camera& cam = *scene.camera(scene.make_camera("look"));
    cam.position = {30, 40, -200};
  }
  std::vector<Rgb565> frame(kFramePixels);
  scene.set_target_frame(frame);
  render_scene(scene);
  return 0;
}
