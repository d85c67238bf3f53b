#include "core/driver.h"

#include <array>
#include <exception>
#include <memory>
#include <stdexcept>

#include "archive/archive.h"
#include "contracts/close.h"
#include "core/music.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr std::array<int, 7> kConstructionOrder = {1, 2, 3, 4, 6, 5, 7};
constexpr std::array<int, 7> kPlayingOrder = {1, 2, 3, 4, 5, 6, 7};

// The seven parts, torn down in reverse construction order however the driver is left.
class PartSet {
 public:
  PartSet() = default;
  PartSet(const PartSet&) = delete;
  PartSet& operator=(const PartSet&) = delete;
  ~PartSet() {
    for (auto it = constructed_.rbegin(); it != constructed_.rend(); ++it) by_position_[*it - 1]->teardown();
  }

  void construct_all(const PartFactory& make_part) {
    for (int position : kConstructionOrder) {
      auto part = make_part(position);
      if (!part) throw std::logic_error("no demo part for a playing position");
      by_position_[position - 1] = std::move(part);
      constructed_.push_back(position);
    }
  }
  void load_all(const Archive& archive) {
    for (int position : kConstructionOrder) by_position_[position - 1]->load(archive);
  }
  void run_all(Screen& screen, Music& music, std::span<Rgb565> frame) {
    for (int position : kPlayingOrder) by_position_[position - 1]->run(screen, music, frame);
  }
  // Normal end: teardown now, in reverse construction order; the destructor then finds the
  // parts unloaded.
  void teardown_all() noexcept {
    for (auto it = constructed_.rbegin(); it != constructed_.rend(); ++it) by_position_[*it - 1]->teardown();
  }

 private:
  std::array<std::unique_ptr<DemoPart>, 7> by_position_;
  std::vector<int> constructed_;
};

void load_module(Music& music, const std::string& path) {
  try {
    music.load_module(path.c_str());
  } catch (const std::runtime_error& error) {
    if (path == kModuleFile) throw;
    throw std::runtime_error(path + ": " + error.what());
  }
}

void run_show(Platform& platform, const PartFactory& make_part, const ShowFiles& files) {
  Screen screen(kDisplayWidth, kDisplayHeight, platform.display, platform.boxes);
  Music music(platform.sound);
  Archive archive(files.data);
  screen.open(kDemoName, kFrameWidth, kFrameHeight);
  // Read and parsed beside the parts' loads; failures still surface only at load_module, after
  // every part loaded. Not before the question: the X11 message box forks, and a child forked
  // while another thread holds an allocator lock can hang.
  music.prepare_module(files.module.c_str());
  auto frame = std::make_unique<Rgb565[]>(kFramePixels);
  PartSet parts;
  parts.construct_all(make_part);
  parts.load_all(archive);

  load_module(music, files.module);
  music.start();

  parts.run_all(screen, music, std::span<Rgb565>(frame.get(), kFramePixels));

  music.free_module();
  screen.close();
  frame.reset();
  parts.teardown_all();
  // Archive, Music and Screen end here in reverse order of construction.
}

}  // namespace

int run_demo(Platform& platform, const PartFactory& make_part, const ShowFiles& files) {
  try {
    run_show(platform, make_part, files);
  } catch (const Close&) {
    // The user's quit: everything is already torn down; end silently.
  } catch (const std::exception& error) {
    platform.boxes.show_error(error.what(), kErrorTitle);
  }
  return 1;
}

}  // namespace morvane
