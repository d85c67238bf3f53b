#pragma once
// Draws a whole Scene into its target frame from the active camera: walks the render-slot
// hierarchy from the root, culls meshes by their boxes, projects and fills the faces in front of
// the camera. The caller prepares the frame; render_scene only draws over it.
#include <span>

#include "engine/records.h"
#include "contracts/pixel.h"

namespace morvane {

class Scene;

// Throws "VELDRA:RENDER:SCENE: No active camera" when the active camera index names no camera,
// "VELDRA:RENDER:SCENE: No target frame" when the target frame is smaller than 320 x 200, and
// "VELDRA:RENDER:SCENE: Object not found" for a child list naming a free or outside slot.
void render_scene(Scene& scene);

// Writes the box's camera-space corners; true when a corner in front of the camera (z > 1)
// projects inside the screen's columns or inside its rows.
bool mesh_in_view(Bounds& bounds, const Matrix34& combined, const Camera& camera);

// Projects every vertex by the mesh's combined matrix and fills every face whose three corners
// lie in front of the camera, in face order. Faces naming a vertex the mesh lacks are skipped.
void draw_mesh(Mesh& mesh, const Camera& camera, std::span<Rgb565, kFramePixels> frame);

}  // namespace morvane
