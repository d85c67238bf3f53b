#pragma once
// Loading scene files into a Scene. The only format is the 3D Studio mesh file (".3ds"): its
// meshes hang under a new element slot, its lights under the root, its last camera becomes the
// active camera, and the hierarchy is relinked afterwards.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/3ds/load_context.h"

namespace morvane {

class Archive;
class Scene;

// A file's bytes by name: the data archive in the show, a plain file or a buffer in tools and
// tests. Throws when the file cannot be had.
using FileSource = std::function<std::vector<std::uint8_t>(std::string_view name)>;

// What one load added.
struct LoadSummary {
  int meshes = 0;
  int cameras = 0;
  int lights = 0;
};

// 1 for a name whose extension (everything after the first ".") is "3DS" in any letter case,
// 0 otherwise.
std::uint8_t scene_file_type(std::string_view file_name);

// Makes the element (element_name, or "[noname]"), reads the file and walks its chunks, then
// relinks the hierarchy. Whatever was made before a failure stays in the scene.
LoadSummary load_3ds(Scene& scene, std::string_view file_name, const FileSource& source,
                     std::optional<std::string_view> element_name, const LoadFilters& filters = {});
LoadSummary load_3ds(Scene& scene, std::string_view file_name, const Archive& archive,
                     std::optional<std::string_view> element_name, const LoadFilters& filters = {});

// file_type 0 decides by the name's extension and throws "VELDRA:LOADSCENE: Could not determine
// filetype" when it is not "3DS"; 1 loads as 3DS; any other type loads nothing.
void load_scene(Scene& scene, std::string_view file_name, const FileSource& source,
                std::optional<std::string_view> element_name, std::uint8_t file_type);
void load_scene(Scene& scene, std::string_view file_name, const Archive& archive,
                std::optional<std::string_view> element_name, std::uint8_t file_type);

}  // namespace morvane
