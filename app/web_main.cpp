#include "host/host.h"
#include "platform/web/window.h"
#include "program/program.h"

namespace {

// Allocated once, at load: the world alone is 1.5 MB.
Program program;
Host host;
Window w;

}  // namespace

// The page's entry: the window's load event on the canvas's size, then the page runs the program
// one animation frame at a time. main returns at once; the page lives on.
int main() {
  ReportCanvasSize(host);
  LoadHost(host, w, program);
  StartPage(w, host, program);
  return 0;
}
