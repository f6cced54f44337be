#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "host/host.h"
#include "platform/desktop/window.h"
#include "program/program.h"

int main(int /*argc*/, char* /*argv*/[]) {
  // Allocated once, before the window opens: the world alone is 1.5 MB.
  auto program = std::make_unique<Program>();
  Host host;
  PresentPath path = PresentPath::WindowPixels;
#ifdef GRAVITY_STATS
  // The measuring build prints its counts once a second (host.h); with GRAVITY_STATS_RENDERER=1
  // it presents through a renderer wherever it can.
  UseMeasuringSwitches(host, *program);
  const char* renderer = std::getenv("GRAVITY_STATS_RENDERER");
  if (renderer != nullptr && std::strcmp(renderer, "1") == 0) {
    path = PresentPath::Renderer;
  }
#endif

  Window w;
  if (!OpenWindow(w, path)) {
    // One line, whatever SDL's reason holds.
    std::string reason = SDL_GetError();
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    const bool noDisplay =
        std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
    std::fprintf(stderr, "gravity: cannot open a window: %s%s\n", reason.c_str(),
                 noDisplay ? " (neither DISPLAY nor WAYLAND_DISPLAY is set)" : "");
    CloseWindow(w);
    return 1;
  }

  // The window's load event, on the client area the window has just reported.
  LoadHost(host, w, *program);
  RunHost(host, w, *program);

  // Closing, Escape and termination all end here: nothing more is drawn or shown. The window goes
  // with the process rather than before it: SDL wakes its wait for a key with a message sent to the
  // window on an X connection of its own, and a window destroyed at once can be gone before the X
  // server takes the message for the last key, an error Xlib ends the program for.
  return 0;
}
