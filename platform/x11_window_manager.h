#pragma once
// Whether a window can be switched to full screen by asking the window manager, as SDL does on
// X11. Kept apart because Xlib's headers define macros (None, Status, True...) and a global
// Display type that would clash with the rest of the display code.
struct SDL_Window;

namespace morvane {

// True when `window` lives on an X server that no window manager runs (none announced on the
// root window): requests to go full screen are then never answered.
bool lacks_window_manager(SDL_Window* window);

}  // namespace morvane
