#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/windows/event_loop.h"
#include "program/program.h"

// The Windows program's entry. The measuring build (a console program) prints how often the
// timers fired and the window was presented, once a second; with GRAVITY_STATS_NO_HANDLERS=1 in
// its environment it leaves the timer handlers out. The real program prints nothing and reads no
// environment of its own.
int main() {
  // Allocated once, before the window opens: the world alone is 1.5 MB.
  auto program = std::make_unique<Program>();
  bool printCounts = false;
#ifdef GRAVITY_STATS
  printCounts = true;
  const char* noHandlers = std::getenv("GRAVITY_STATS_NO_HANDLERS");
  program->RunTimerHandlers = noHandlers == nullptr || std::strcmp(noHandlers, "1") != 0;
  // Lines end in a bare newline, as on the desktop, for the scripts that read them. Fully buffered
  // into a fixed buffer and flushed after each line, so printing never allocates.
  _setmode(_fileno(stdout), _O_BINARY);
  static char buffer[BUFSIZ];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
#endif
  // Returns only when the window could not be opened; Escape and closing end the process.
  return RunWindowsProgram(*program, printCounts);
}
