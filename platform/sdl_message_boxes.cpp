#include "platform/sdl_message_boxes.h"

#include <SDL.h>

#include <cstdio>

namespace morvane {

bool SdlMessageBoxes::ask_yes_no(const std::string& text, const std::string& title) {
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData box{};
  box.flags = SDL_MESSAGEBOX_INFORMATION;
  box.title = title.c_str();
  box.message = text.c_str();
  box.numbuttons = 2;
  box.buttons = buttons;
  int answer = -1;
  // No display to ask on: watch in a window.
  if (SDL_ShowMessageBox(&box, &answer) != 0) return false;
  return answer == 1;
}

void SdlMessageBoxes::show_error(const std::string& text, const std::string& title) noexcept {
  // Also on stderr, for whoever started the show from a terminal or a script.
  std::fprintf(stderr, "%s\n%s\n", title.c_str(), text.c_str());
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

}  // namespace morvane
