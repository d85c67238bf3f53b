#pragma once
// Gives a mesh or element slot its bounding box in object space, which the renderer's
// visibility test transforms each frame.
namespace morvane {

class Scene;

// Mesh slots span their vertices; element slots span their children's boxes (preparing
// children that have none yet) and lose their box when they have no children. Other slot
// types are left as they are. Throws "VELDRA:INIT:OBJECT: ..." for a bad index.
void init_object(Scene& scene, int slot_index);

}  // namespace morvane
