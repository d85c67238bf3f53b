// morvane-dat scene (FILE.dat NAME | FILE.3ds) [--roomy] [--render OUT.png --eye X,Y,Z --target X,Y,Z
//                  [--roll R] [--fov F]]
// Loads a scene the way the camera-flight scene does and prints what the engine made of it;
// optionally renders one frame of it.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "engine/3ds/scene_loader.h"
#include "engine/render.h"
#include "engine/scene.h"
#include "tools/morvane_dat/command.h"
#include "tools/png/png_writer.h"

namespace morvane::dat {
namespace {

struct SceneOptions {
  std::vector<std::string_view> positional;
  bool roomy = false;
  std::optional<std::string> render_to;
  std::optional<Vec3> eye;
  std::optional<Vec3> target;
  std::optional<float> roll;
  std::optional<float> fov;
};

float parse_float(std::string_view text, std::string_view what) {
  float value = 0.0f;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    throw UsageError(std::string(what) + " must be a number, not '" + std::string(text) + "'");
  return value;
}

Vec3 parse_point(std::string_view text, std::string_view what) {
  const std::size_t a = text.find(',');
  const std::size_t b = a == std::string_view::npos ? a : text.find(',', a + 1);
  if (b == std::string_view::npos) throw UsageError(std::string(what) + " must be X,Y,Z");
  return {parse_float(text.substr(0, a), what), parse_float(text.substr(a + 1, b - a - 1), what),
          parse_float(text.substr(b + 1), what)};
}

SceneOptions parse(Arguments args) {
  SceneOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 >= args.size()) throw UsageError(std::string(a) + " needs a value");
      return args[++i];
    };
    if (a == "--roomy") {
      o.roomy = true;
    } else if (a == "--render") {
      o.render_to = std::string(value());
    } else if (a == "--eye") {
      o.eye = parse_point(value(), "--eye");
    } else if (a == "--target") {
      o.target = parse_point(value(), "--target");
    } else if (a == "--roll") {
      o.roll = parse_float(value(), "--roll");
    } else if (a == "--fov") {
      o.fov = parse_float(value(), "--fov");
    } else if (a.starts_with("--")) {
      throw UsageError("unknown option " + std::string(a));
    } else {
      o.positional.push_back(a);
    }
  }
  if (o.positional.empty() || o.positional.size() > 2) throw UsageError("expects FILE.dat NAME or FILE.3ds");
  if (o.eye.has_value() != o.target.has_value()) throw UsageError("--eye and --target go together");
  if ((o.eye || o.roll || o.fov) && !o.render_to) throw UsageError("camera options need --render");
  return o;
}

std::vector<std::uint8_t> read_plain_file(std::string_view name) {
  std::ifstream in{std::filesystem::path(name), std::ios::binary};
  if (!in) throw std::runtime_error("cannot read " + std::string(name));
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string point(const Vec3& p) {
  char text[96];
  std::snprintf(text, sizeof text, "(%g, %g, %g)", static_cast<double>(p.x), static_cast<double>(p.y),
                static_cast<double>(p.z));
  return text;
}

const char* type_name(std::uint8_t type) {
  switch (type) {
    case kSlotRoot: return "root";
    case kSlotElement: return "element";
    case kSlotMesh: return "mesh";
    case kSlotLight: return "light";
    default: return "node";
  }
}

bool carries_mapping(const Mesh& mesh) {
  for (const Face& f : mesh.faces) {
    for (const MapCoord& uv : f.mapping) {
      if (uv.u != 0.0f || uv.v != 0.0f) return true;
    }
  }
  return false;
}

void print_tree(const Scene& scene, int slot_index, int depth) {
  const RenderSlot* slot = scene.slot(slot_index);
  if (!slot || depth > scene.slot_capacity()) return;
  std::printf("  %*s%s (%s", depth * 2, "", slot->name.c_str(), type_name(slot->type));
  if (slot->type == kSlotMesh || slot->type == kSlotLight || slot->type == kSlotElement) std::printf(" %d", slot->index);
  std::printf(")\n");
  for (const int child : slot->children) print_tree(scene, child, depth + 1);
}

void print_summary(const Scene& scene) {
  std::printf("scene \"%s\": capacities %d objects, %d cameras, %d lights, %d elements, %d materials\n",
              scene.name().c_str(), scene.object_capacity(), scene.camera_capacity(), scene.light_capacity(),
              scene.element_capacity(), scene.material_capacity());
  std::printf("meshes:\n");
  for (int i = 0; i < scene.object_capacity(); ++i) {
    const Mesh* m = scene.mesh(i);
    if (!m) continue;
    std::printf("  [%d] \"%s\": %d vertices, %d faces, %s\n", i, scene.slot(m->render_slot)->name.c_str(),
                m->vertex_count(), m->face_count(), carries_mapping(*m) ? "mapping coordinates" : "no mapping");
  }
  std::printf("materials:\n");
  for (int i = 0; i < scene.material_capacity(); ++i) {
    const Material* m = scene.material(i);
    if (!m) continue;
    std::printf("  [%d] \"%s\": base %g, %g, %g; random %g, %g, %g\n", i, m->name.c_str(),
                static_cast<double>(m->base.red), static_cast<double>(m->base.green), static_cast<double>(m->base.blue),
                static_cast<double>(m->random_amount.red), static_cast<double>(m->random_amount.green),
                static_cast<double>(m->random_amount.blue));
  }
  std::printf("lights:\n");
  for (int i = 0; i < scene.light_capacity(); ++i) {
    const Light* l = scene.light(i);
    if (!l) continue;
    std::printf("  [%d] \"%s\": position %s", i, scene.slot(l->render_slot)->name.c_str(), point(l->position).c_str());
    if (l->spotlight) {
      std::printf(", spotlight at %s, hotspot %g, falloff %g", point(l->target).c_str(),
                  static_cast<double>(l->hotspot), static_cast<double>(l->falloff));
    }
    std::printf("\n");
  }
  std::printf("cameras:\n");
  for (int i = 0; i < scene.camera_capacity(); ++i) {
    const Camera* c = scene.camera(i);
    if (!c) continue;
    std::printf("  [%d] \"%s\": position %s, target %s, roll %g, field of view %g\n", i, c->name.c_str(),
                point(c->position).c_str(), point(c->target).c_str(), static_cast<double>(c->roll),
                static_cast<double>(c->field_of_view));
  }
  if (const Camera* active = scene.camera(scene.active_camera())) {
    std::printf("active camera: [%d] \"%s\"\n", scene.active_camera(), active->name.c_str());
  } else {
    std::printf("active camera: none\n");
  }
  std::printf("hierarchy:\n");
  print_tree(scene, scene.find_object(scene.name(), kSlotRoot), 0);
}

void render_to_png(Scene& scene, const SceneOptions& o) {
  if (o.eye) {
    // The camera-flight scene adds its own camera "Ca" after loading and flies that one.
    int index = scene.find_camera("Ca");
    if (index == -1) index = scene.make_camera("Ca");
    scene.set_active_camera(index);
    Camera& cam = *scene.camera(index);
    cam.position = *o.eye;
    cam.target = *o.target;
  } else if (!scene.camera(scene.active_camera())) {
    throw UsageError("the scene has no camera: give --eye and --target");
  }
  Camera& cam = *scene.camera(scene.active_camera());
  if (o.roll) cam.roll = *o.roll;
  if (o.fov) cam.field_of_view = *o.fov;

  std::vector<Rgb565> frame(kFramePixels, 0);
  scene.set_target_frame(frame);
  render_scene(scene);
  std::vector<std::uint8_t> rgb;
  rgb.reserve(frame.size() * 3);
  for (const Rgb565 p : frame) {
    const Pixel32 q = to_pixel32(p);
    rgb.push_back(static_cast<std::uint8_t>(q >> 16));
    rgb.push_back(static_cast<std::uint8_t>(q >> 8));
    rgb.push_back(static_cast<std::uint8_t>(q));
  }
  write_png_rgb(*o.render_to, kFrameWidth, kFrameHeight, rgb);
  std::printf("rendered from %s to %s (roll %g, field of view %g) into %s\n", point(cam.position).c_str(),
              point(cam.target).c_str(), static_cast<double>(cam.roll), static_cast<double>(cam.field_of_view),
              o.render_to->c_str());
}

}  // namespace

int run_scene(Arguments args) {
  const SceneOptions o = parse(args);
  // The camera-flight scene's own capacities, or room for files made elsewhere.
  auto scene = o.roomy ? std::make_unique<Scene>("Zava3z", 4096, 64, 64, 2, 1024)
                       : std::make_unique<Scene>("Zava3z", 100, 2, 2, 2, 5);
  if (o.positional.size() == 2) {
    const Archive archive(o.positional[0]);
    load_scene(*scene, o.positional[1], archive, "[Element1]", 1);
  } else {
    load_scene(*scene, o.positional[0], FileSource(read_plain_file), "[Element1]", 1);
  }
  print_summary(*scene);
  if (o.render_to) render_to_png(*scene, o);
  return 0;
}

}  // namespace morvane::dat
