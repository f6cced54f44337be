#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>

#include "host/host.h"
#include "platform/windows/window.h"
#include "program/program.h"

// The Windows program's entry. The measuring build (a console program) prints its counts once a
// second (host.h); the real program prints nothing and reads no environment of its own.
int main() {
  // Allocated once, before the window opens: the world alone is 1.5 MB.
  auto program = std::make_unique<Program>();
  static Host host;
#ifdef GRAVITY_STATS
  // Lines end in a bare newline, as on the desktop, for the scripts that read them.
  _setmode(_fileno(stdout), _O_BINARY);
  UseMeasuringSwitches(host, *program);
#endif
  static Window w;
  if (!OpenWindow(w)) {
    return 1;
  }
  // The window's load event, on the client area the window has just reported.
  LoadHost(host, w, *program);
  ShowWindow(w.Handle, SW_SHOWNORMAL);
  UpdateWindow(w.Handle);
  RunHost(host, w, *program);
  // Escape or a close: the process ends at once, since tearing the window down shows nothing new
  // and under Wine takes seconds.
  std::fflush(stdout);  // the measuring build's last counts
  ExitProcess(0);
}
