#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/desktop/event_loop.h"
#include "platform/desktop/window.h"
#include "program/program.h"

namespace {

// The measuring build prints how often the timers fired and the window was presented, once a
// second; with GRAVITY_STATS_NO_HANDLERS=1 in its environment it leaves the timer handlers out,
// and with GRAVITY_STATS_RENDERER=1 it presents through a renderer wherever it can.
// The real program prints nothing and reads no environment of its own.
LoopOptions ChooseLoopOptions(Program& program) {
  LoopOptions options;
#ifdef GRAVITY_STATS
  options.PrintCounts = true;
  const char* noHandlers = std::getenv("GRAVITY_STATS_NO_HANDLERS");
  program.RunTimerHandlers = noHandlers == nullptr || std::strcmp(noHandlers, "1") != 0;
  const char* renderer = std::getenv("GRAVITY_STATS_RENDERER");
  if (renderer != nullptr && std::strcmp(renderer, "1") == 0) {
    options.Path = PresentPath::Renderer;
  }
#else
  (void)program;
#endif
  return options;
}

}  // namespace

int main(int /*argc*/, char* /*argv*/[]) {
  // Allocated once, before the window opens: the world alone is 1.5 MB.
  auto program = std::make_unique<Program>();
  const LoopOptions options = ChooseLoopOptions(*program);
  if (options.PrintCounts) {
    // Line-buffered into a fixed buffer, so printing never allocates while the program runs.
    static char buffer[BUFSIZ];
    std::setvbuf(stdout, buffer, _IOLBF, sizeof buffer);
  }

  Window w;
  if (!OpenWindow(w, program->surface, options.Path)) {
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

  // The window's load event, on the surface the window has just sized.
  LoadProgram(*program, program->surface.Width, program->surface.Height);

  RunEventLoop(w, *program, options);

  // Closing, Escape and termination all end here: nothing more is drawn or shown.
  CloseWindow(w);
  return 0;
}
