#pragma once

#include <memory>

#include "platform/window.h"
#include "seed/random.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// Everything the running program owns. The world is allocated once, here, before the window opens:
// at 1.5 MB it is too large for the stack.
struct Program {
  Window w;
  Surface surface;
  Timers timers;
  RandomSource random;
  std::unique_ptr<World> world = std::make_unique<World>();
};

// Runs the window's timers and events until the window is closed, the program is told to stop
// (SIGINT, SIGTERM) or a key ends it. With `printCounts`, prints one line a second saying how often
// each timer fired and the window was presented in that second.
void RunEventLoop(Program& program, bool printCounts);
