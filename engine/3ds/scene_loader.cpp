#include "engine/3ds/scene_loader.h"

#include <array>
#include <stdexcept>
#include <string>

#include "archive/archive.h"
#include "engine/3ds/chunk_reader.h"
#include "engine/3ds/chunk_walk.h"
#include "engine/scene.h"

namespace morvane {
namespace {

constexpr std::array<std::string_view, 2> kFileTypes = {"", "3DS"};

FileSource from_archive(const Archive& archive) {
  return [&archive](std::string_view name) { return archive.load_raw_file(name); };
}

}  // namespace

std::uint8_t scene_file_type(std::string_view file_name) {
  const std::size_t dot = file_name.find('.');
  std::string extension;
  if (dot != std::string_view::npos) {
    for (const char c : file_name.substr(dot + 1)) {
      extension.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
  }
  for (std::size_t type = 1; type < kFileTypes.size(); ++type) {
    if (kFileTypes[type] == extension) return static_cast<std::uint8_t>(type);
  }
  return 0;
}

LoadSummary load_3ds(Scene& scene, std::string_view file_name, const FileSource& source,
                     std::optional<std::string_view> element_name, const LoadFilters& filters) {
  LoadContext context(scene, filters);
  context.parent_slot = scene.make_object(element_name.value_or("[noname]"), kSlotElement, -1);
  context.mesh_parent_flag = 2;
  scene.reset_node_ids();

  const std::vector<std::uint8_t> bytes = source(file_name);
  context.file_size = static_cast<std::int64_t>(bytes.size());
  ChunkReader reader(bytes);
  walk_chunks(reader, context.file_size, context);
  scene.link_hierarchy();
  return {context.meshes_loaded, context.cameras_loaded, context.lights_loaded};
}

LoadSummary load_3ds(Scene& scene, std::string_view file_name, const Archive& archive,
                     std::optional<std::string_view> element_name, const LoadFilters& filters) {
  return load_3ds(scene, file_name, from_archive(archive), element_name, filters);
}

void load_scene(Scene& scene, std::string_view file_name, const FileSource& source,
                std::optional<std::string_view> element_name, std::uint8_t file_type) {
  if (file_type == 0) {
    file_type = scene_file_type(file_name);
    if (file_type == 0) throw std::runtime_error("VELDRA:LOADSCENE: Could not determine filetype");
  }
  if (file_type == 1) load_3ds(scene, file_name, source, element_name);
}

void load_scene(Scene& scene, std::string_view file_name, const Archive& archive,
                std::optional<std::string_view> element_name, std::uint8_t file_type) {
  load_scene(scene, file_name, from_archive(archive), element_name, file_type);
}

}  // namespace morvane
