#include <emscripten/emscripten.h>

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
  OpenPage(w);
  LoadHost(host, w, program);
  RunHost(host, w, program);
  return 0;
}

// The counts behind window.gravityStats(), for the page's tests and its measuring.
extern "C" EMSCRIPTEN_KEEPALIVE double gravity_ticks() {
  return static_cast<double>(program.Firings.CountT);
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_playback_ticks() {
  return static_cast<double>(program.Firings.CountH);
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_presents() {
  return static_cast<double>(host.AllPresents);
}

// Releases and touches handed to the seeding.
extern "C" EMSCRIPTEN_KEEPALIVE double gravity_seeds() {
  return static_cast<double>(host.Seeds);
}
