#include "tools/standin/asset_table.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "tools/standin/finale_assets.h"
#include "tools/standin/flash_pictures.h"
#include "tools/standin/flight_scene.h"
#include "tools/standin/fog_backdrop.h"
#include "tools/standin/light_map_assets.h"
#include "tools/standin/opening_pictures.h"
#include "tools/standin/pcx_writer.h"
#include "tools/standin/title_picture.h"
#include "tools/standin/tunnel_shading.h"
#include "tools/standin/wrap_textures.h"

namespace morvane::standin {

namespace {

constexpr std::array<std::string_view, 28> kLoadOrder = {
    "begin_bw.pcx", "sprott.pcx",   "begin.pcx",    "begin2.pcx",   "morvane.3ds",  "morvane.pcx",
    "gl_pic.pcx",   "gl_tex.pcx",   "flares.pcx",   "liglog.pcx",   "dans01.pcx",   "dans02.pcx",
    "dans03.pcx",   "dans04.pcx",   "dans05.pcx",   "dans06.pcx",   "dans07.pcx",   "dans08.pcx",
    "dans09.pcx",   "dans10.pcx",   "fogback.pcx",  "shades.pcx",   "wogtex2.pcx",  "light.pcx",
    "light256.pcx", "spice.pcx",    "wogtex1.pcx",  "wogtex3.pcx"};

std::size_t load_position(const std::string& name) {
  const auto it = std::find(kLoadOrder.begin(), kLoadOrder.end(), name);
  if (it == kLoadOrder.end()) throw std::logic_error("entry without a place in the load order: " + name);
  return static_cast<std::size_t>(it - kLoadOrder.begin());
}

}  // namespace

std::vector<std::string_view> entry_names() {
  return {kLoadOrder.begin(), kLoadOrder.end()};
}

GeneratedData generate_all() {
  std::vector<Picture> pictures;
  auto take = [&](std::vector<Picture> family) {
    for (Picture& p : family) pictures.push_back(std::move(p));
  };
  take(opening_pictures());
  pictures.push_back(title_picture());
  take(light_map_assets());
  take(flash_pictures());
  pictures.push_back(fog_backdrop());
  pictures.push_back(tunnel_shading());
  take(wrap_textures());
  take(finale_assets());

  GeneratedData data;
  for (Picture& p : pictures) {
    Entry e;
    e.name = p.name;
    e.bytes = encode_pcx(p.image);
    e.picture = std::move(p);
    data.entries.push_back(std::move(e));
  }
  data.scene = flight_scene();
  data.entries.push_back({"morvane.3ds", write_3ds(data.scene), std::nullopt});

  std::stable_sort(data.entries.begin(), data.entries.end(),
                   [](const Entry& a, const Entry& b) { return load_position(a.name) < load_position(b.name); });
  if (data.entries.size() != entry_names().size()) throw std::logic_error("an entry is missing or doubled");
  return data;
}

}  // namespace morvane::standin
