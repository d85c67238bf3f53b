#pragma once
// The whole life of the program: construct, load every part, play the module, run the seven
// parts in playing order, tear everything down in reverse order. Always returns 1.
#include <functional>
#include <memory>
#include <string>

#include "contracts/display.h"
#include "contracts/message_boxes.h"
#include "contracts/sound_library.h"
#include "core/demo_part.h"

namespace morvane {

// What the driver runs on: the player binds these to SDL and libopenmpt, the capture tool to
// offline renderers, tests to scripted fakes.
struct Platform {
  SoundLibrary& sound;
  Display& display;
  MessageBoxes& boxes;
};

// Makes the part of a playing position (1..7); called in construction order 1,2,3,4,6,5,7.
using PartFactory = std::function<std::unique_ptr<DemoPart>(int playing_position)>;

inline constexpr const char* kDataFile = "morvane.dat";
inline constexpr const char* kModuleFile = "morvane.xm";
inline constexpr const char* kDemoName = "Morvane";
inline constexpr const char* kErrorTitle = "Quillfen-Morvane(win32): Error!";

// Where the data files are read from; by default the working directory's. Error messages for
// the module name a path other than the default.
struct ShowFiles {
  std::string data = kDataFile;
  std::string module = kModuleFile;
};

int run_demo(Platform& platform, const PartFactory& make_part, const ShowFiles& files = {});

}  // namespace morvane
