#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/event_loop.h"
#include "platform/window.h"
#include "world/world.h"

// The measuring build prints how often the timers fired and the window was presented, once a
// second; the real program prints nothing.
#ifdef GRAVITY_STATS
constexpr bool PrintCounts = true;
#else
constexpr bool PrintCounts = false;
#endif

int main(int /*argc*/, char* /*argv*/[]) {
  if (PrintCounts) {
    // Line-buffered into a fixed buffer, so printing never allocates while the program runs.
    static char buffer[BUFSIZ];
    std::setvbuf(stdout, buffer, _IOLBF, sizeof buffer);
  }

  Program program;
  if (!OpenWindow(program.w, program.surface)) {
    // One line, whatever SDL's reason holds.
    std::string reason = SDL_GetError();
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    const bool noDisplay =
        std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
    std::fprintf(stderr, "gravity: cannot open a window: %s%s\n", reason.c_str(),
                 noDisplay ? " (neither DISPLAY nor WAYLAND_DISPLAY is set)" : "");
    CloseWindow(program.w);
    return 1;
  }

  // The window's load event.
  StartUp(*program.world);

  RunEventLoop(program, PrintCounts);

  // Closing, Escape and termination all end here: nothing more is drawn or shown.
  CloseWindow(program.w);
  return 0;
}
