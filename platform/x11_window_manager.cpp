#include "platform/x11_window_manager.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace morvane {

bool lacks_window_manager(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  ::Display* display = info.info.x11.display;
  // An EWMH window manager names its check window in this root property.
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return true;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                        &format, &count, &after, &data);
  const bool announced = status == Success && data != nullptr && count == 1;
  if (data != nullptr) XFree(data);
  return !announced;
#else
  (void)window;
  return false;
#endif
}

}  // namespace morvane
