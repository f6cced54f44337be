// The browser window layer: the same core as the desktop program, on a web page through
// WebAssembly.
// - Pixels: the surface is the page canvas's drawing buffer in device pixels; after each animation
//   frame's firings, the rectangles drawn on since the last frame go onto the canvas (canvas.h).
// - Cadence: each animation frame runs the firings of the 1 ms timers that fell due since the last
//   one, by performance.now() and the shared firing schedule. A frame comes every 16 ms or so, so
//   up to 250 ms of lag is caught up; a longer gap (a hidden tab) is a stall and is not replayed.
// - Input: key presses become virtual key codes through KeyboardEvent's key and code and the
//   shared key table; mouse-button releases on the canvas are scaled from CSS pixels to surface
//   pixels. The page neither scrolls on the command keys nor opens a menu on a right click.
// - End: Escape stops the frame loop and the input at once, so nothing more runs or is drawn, and
//   a line below the canvas says to reload the page to start again.

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>

#include "commands/handle_key.h"
#include "platform/key_table.h"
#include "platform/web/canvas.h"
#include "platform/web/page.h"
#include "platform/web/web_keys.h"
#include "program/program.h"

namespace {

constexpr double NsPerMs = 1e6;
// Many frames at 60 Hz, so the odd slow frame of a busy machine is caught up and the rate stays
// exact, while a hidden tab's pause of seconds is still a stall.
constexpr int64_t FrameCatchUpNs = 250'000'000;

// The program and what the page keeps beside it, allocated once at load: the world alone is
// 1.5 MB.
Program program;
Canvas canvas;
double presents = 0;  // since load, for window.gravityStats()

void EndProgram() {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
  emscripten_set_mousedown_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  emscripten_set_mouseup_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  PageShowEnded();
}

// Held keys repeat, and every repeat is a press of its own. Returning true keeps the page from
// acting on the key too.
EM_BOOL OnKeyDown(int /*eventType*/, const EmscriptenKeyboardEvent* event, void* /*userData*/) {
  if (program.Ended) {
    return EM_FALSE;
  }
  const WebKey key = DescribeWebKey(event->key, event->code);
  const int16_t code = KeyCodeForLabel(key.Label, key.NumLock);
  PressKey(program, code, ShiftCode(event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0));
  if (program.Ended) {
    EndProgram();
  }
  return IsCommandKey(code) ? EM_TRUE : EM_FALSE;
}

// The mouse button by MouseEvent.button's numbering: 0 main, 1 middle, 2 secondary, 3 back, 4
// forward.
MouseButton MouseButtonOf(unsigned short button) {
  switch (button) {
    case 0:
      return MouseButton::Left;
    case 1:
      return MouseButton::Middle;
    case 2:
      return MouseButton::Right;
    case 3:
      return MouseButton::Back;
    case 4:
      return MouseButton::Forward;
    default:
      return MouseButton::Other;
  }
}

// Keeps a middle click from starting the page's auto-scroll and a drag from selecting text.
EM_BOOL OnMouseDown(int /*eventType*/, const EmscriptenMouseEvent* /*event*/, void* /*userData*/) {
  return EM_TRUE;
}

EM_BOOL OnMouseUp(int /*eventType*/, const EmscriptenMouseEvent* event, void* /*userData*/) {
  double cssWidth = 0;
  double cssHeight = 0;
  emscripten_get_element_css_size(CanvasSelector, &cssWidth, &cssHeight);
  const Surface& surface = program.surface;
  const double scaleX = cssWidth > 0 ? surface.Width / cssWidth : 1;
  const double scaleY = cssHeight > 0 ? surface.Height / cssHeight : 1;
  const auto x = static_cast<float>(static_cast<double>(event->targetX) * scaleX);
  const auto y = static_cast<float>(static_cast<double>(event->targetY) * scaleY);
  const int shift = ShiftCode(event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0);
  ReleaseMouseButton(program, MouseButtonCode(MouseButtonOf(event->button)), shift, x, y);
  return EM_TRUE;
}

// One animation frame: the timers' firings, then what they drew. Returning false ends the loop.
EM_BOOL RunFrame(double /*frameTimeMs*/, void* /*userData*/) {
  if (program.Ended) {
    return EM_FALSE;
  }
  RunDueFirings(program, static_cast<int64_t>(emscripten_get_now() * NsPerMs), FrameCatchUpNs);
  if (PresentSurface(canvas, program)) {
    ++presents;
  }
  return EM_TRUE;
}

}  // namespace

// Called by the page with the canvas's new size in device pixels. After the end nothing changes.
extern "C" EMSCRIPTEN_KEEPALIVE void gravity_resize(int width, int height) {
  if (!program.Ended) {
    ResizeCanvas(canvas, program, width, height);
  }
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_ticks() {
  return static_cast<double>(program.Firings.CountT);
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_playback_ticks() {
  return static_cast<double>(program.Firings.CountH);
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_presents() {
  return presents;
}

int main() {
  // The window opens at the page's size for it, then its load event runs.
  PageWatchCanvas();
  LoadProgram(program, program.surface.Width, program.surface.Height);

  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKeyDown);
  emscripten_set_mousedown_callback(CanvasSelector, nullptr, EM_TRUE, OnMouseDown);
  emscripten_set_mouseup_callback(CanvasSelector, nullptr, EM_TRUE, OnMouseUp);
  emscripten_request_animation_frame_loop(RunFrame, nullptr);
  return 0;
}
