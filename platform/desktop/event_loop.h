#pragma once

#include "platform/desktop/window.h"
#include "program/program.h"

// How the loop runs. The real program runs every handler and prints nothing; the measuring build
// prints its counts once a second and can leave the timer handlers out, to time the window layer
// on its own.
struct LoopOptions {
  bool PrintCounts = false;
  PresentPath Path = PresentPath::WindowPixels;  // asked for; the other is used where it fails
};

// Runs the program's timers and the window's events until the window is closed, the program is
// told to stop (SIGINT, SIGTERM) or a key ends it. Printed counts are one line a second saying how
// often each timer fired and the window was presented in that second.
void RunEventLoop(Window& w, Program& program, const LoopOptions& options);
