#include "engine/render.h"

#include <stdexcept>

#include "engine/camera_view.h"
#include "engine/rasterizer.h"
#include "engine/scene.h"

namespace morvane {
namespace {

constexpr float kCentreX = static_cast<float>(Scene::kViewportCentreX);
constexpr float kCentreY = static_cast<float>(Scene::kViewportCentreY);
constexpr float kWidth = static_cast<float>(Scene::kViewportWidth);
constexpr float kHeight = static_cast<float>(Scene::kViewportHeight);

struct Frame {
  Scene& scene;
  Camera& camera;
  std::span<Rgb565, kFramePixels> pixels;
};

void render_node(Frame& f, int slot_index, std::uint8_t type, int parent_index, std::uint8_t parent_type) {
  RenderSlot* slot = f.scene.slot(slot_index);
  if (!slot) throw std::runtime_error("VELDRA:RENDER:SCENE: Object not found");
  const RenderSlot* parent = f.scene.slot(parent_index);
  const int typed_parent = parent ? parent->index : -1;

  switch (type) {
    case kSlotInert:
      return;
    case kSlotRoot:
      update_camera(f.camera);
      break;
    case kSlotElement:
      if (Element* element = f.scene.element(slot->index)) {
        // Only a mesh parent has a local matrix to hand down.
        const Mesh* parent_mesh =
            parent && parent_type == kSlotMesh ? f.scene.mesh(typed_parent) : nullptr;
        element->matrix = parent_mesh ? parent_mesh->local : f.camera.view;
      }
      break;
    case kSlotMesh:
      if (Mesh* mesh = f.scene.mesh(slot->index)) {
        // A mesh under a mesh (or a type 8 node standing for one) follows its parent; one under
        // the root or an element is placed by the camera directly.
        const Mesh* parent_mesh = parent && (parent_type == kSlotMesh || parent_type == kSlotGroup)
                                      ? f.scene.mesh(typed_parent)
                                      : nullptr;
        mesh->combined = combine(mesh->local, parent_mesh ? parent_mesh->combined : f.camera.view);
        // A mesh never prepared by init_object has no box to test: it is always drawn.
        if (!slot->bounds || mesh_in_view(*slot->bounds, mesh->combined, f.camera)) {
          draw_mesh(*mesh, f.camera, f.pixels);
        }
      }
      break;
    default:
      break;
  }

  for (const int child_index : slot->children) {
    const RenderSlot* child = f.scene.slot(child_index);
    if (!child) throw std::runtime_error("VELDRA:RENDER:SCENE: Object not found");
    render_node(f, child_index, child->type, slot_index, type);
  }
}

}  // namespace

void render_scene(Scene& scene) {
  Camera* camera = scene.camera(scene.active_camera());
  if (!camera) throw std::runtime_error("VELDRA:RENDER:SCENE: No active camera");
  const std::span<Rgb565> target = scene.target_frame();
  if (target.size() < static_cast<std::size_t>(kFramePixels)) {
    throw std::runtime_error("VELDRA:RENDER:SCENE: No target frame");
  }
  Frame f{scene, *camera, target.first<kFramePixels>()};
  render_node(f, scene.find_object(scene.name(), kSlotRoot), kSlotRoot, -1, 255);
}

bool mesh_in_view(Bounds& bounds, const Matrix34& combined, const Camera& camera) {
  for (int k = 0; k < 8; ++k) bounds.transformed[k] = transform_point(bounds.corners[k], combined);
  for (const Vec3& p : bounds.transformed) {
    if (!(p.z > 1.0f)) continue;
    const float w = 1.0f / p.z;
    const float sx = camera.projection_scale_x * w * p.x + kCentreX;
    const float sy = kCentreY - camera.projection_scale_y * w * p.y;
    if ((sx >= 0.0f && sx < kWidth) || (sy >= 0.0f && sy < kHeight)) return true;
  }
  return false;
}

void draw_mesh(Mesh& mesh, const Camera& camera, std::span<Rgb565, kFramePixels> frame) {
  if (mesh.transformed.size() != mesh.vertices.size()) mesh.transformed.resize(mesh.vertices.size());
  const Matrix34& k = mesh.combined;
  const float scale_x = camera.projection_scale_x;
  const float scale_y = camera.projection_scale_y;
  for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
    const Vec3 p = transform_point(mesh.vertices[i], k);
    const float w = 1.0f / p.z;
    mesh.transformed[i] = {p.x, p.y, p.z, scale_x * w * p.x + kCentreX, kCentreY - scale_y * w * p.y, w};
  }

  const auto count = static_cast<unsigned>(mesh.transformed.size());
  const TransformedVertex* tv = mesh.transformed.data();
  for (const Face& face : mesh.faces) {
    if (static_cast<unsigned>(face.a) >= count || static_cast<unsigned>(face.b) >= count ||
        static_cast<unsigned>(face.c) >= count) {
      continue;
    }
    const TransformedVertex& a = tv[face.a];
    const TransformedVertex& b = tv[face.b];
    const TransformedVertex& c = tv[face.c];
    // No near-plane clipping: a face reaching to z <= 1 is dropped whole.
    if (a.z > 1.0f && b.z > 1.0f && c.z > 1.0f) fill_triangle(frame, face, a, b, c);
  }
}

}  // namespace morvane
