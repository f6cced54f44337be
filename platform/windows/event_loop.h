#pragma once

#include "program/program.h"

// Opens the window "Form1", runs the program's load event and then its timers and the window's
// messages until Escape or closing the window ends the process, with status 0. The measuring build
// prints one line a second saying how often each timer fired and the window was presented.
// Returns 1 only when the window could not be opened.
int RunWindowsProgram(Program& program, bool printCounts);
