#pragma once

#include <memory>

#include "platform/desktop/window.h"
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

// How the loop runs. The real program runs every handler and prints nothing; the measuring build
// prints its counts once a second and can leave the timer handlers out, to time the window layer
// on its own.
struct LoopOptions {
  bool PrintCounts = false;
  bool RunTimerHandlers = true;
  PresentPath Path = PresentPath::WindowPixels;  // asked for; the other is used where it fails
};

// Runs the window's timers and events until the window is closed, the program is told to stop
// (SIGINT, SIGTERM) or a key ends it. Printed counts are one line a second saying how often each
// timer fired and the window was presented in that second.
void RunEventLoop(Program& program, const LoopOptions& options);
