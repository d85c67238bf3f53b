// The player: the show on SDL and libopenmpt, from the working directory's data files.
#include "demo_parts/demo_parts.h"
#include "core/driver.h"
#include "platform/sdl_display.h"
#include "platform/sdl_message_boxes.h"
#include "platform/sdl_sound_library.h"

int main() {
  morvane::SdlSoundLibrary sound;
  morvane::SdlDisplay display;
  morvane::SdlMessageBoxes boxes;
  morvane::Platform platform{sound, display, boxes};
  return morvane::run_demo(platform, &morvane::make_demo_part);
}
