// The browser window layer: the same core as the desktop program, on a web page through
// WebAssembly.
// - Pixels: the surface is the page canvas's drawing buffer, one surface unit to a CSS pixel, which
//   the browser shows scaled up to the screen without smoothing; after each animation frame's
//   firings, the rectangles drawn on since the last frame go onto the canvas (canvas.h).
// - Cadence: each animation frame runs the firings of the 1 ms timers that fell due since the last
//   one, by performance.now() and the shared firing schedule. A frame comes every 16 ms or so, so
//   up to 250 ms of lag is caught up; a longer gap (a hidden tab) is a stall and is not replayed.
// - Input: key presses become virtual key codes through KeyboardEvent's key and code and the
//   shared key table; the on-screen keys beside the canvas hand over the same codes. Mouse-button
//   releases on the canvas, and the end of a touch on it as a left button's release, are scaled
//   from the canvas's CSS box to the surface, which differ only by rounding. The page neither
//   scrolls on the command keys nor opens a menu on a right click, and a touch on the canvas
//   neither scrolls nor zooms the page.
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
double seeds = 0;     // releases and touches handed to the seeding since load, likewise

void EndProgram() {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
  emscripten_set_mousedown_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  emscripten_set_mouseup_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  emscripten_set_touchstart_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  emscripten_set_touchend_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  PageShowEnded();
}

// A key press from the keyboard or an on-screen key.
void PressCode(int16_t code, int shift) {
  if (program.Ended) {
    return;
  }
  PressKey(program, code, shift);
  if (program.Ended) {
    EndProgram();
  }
}

// Held keys repeat, and every repeat is a press of its own. Returning true keeps the page from
// acting on the key too.
EM_BOOL OnKeyDown(int /*eventType*/, const EmscriptenKeyboardEvent* event, void* /*userData*/) {
  if (program.Ended) {
    return EM_FALSE;
  }
  const WebKey key = DescribeWebKey(event->key, event->code);
  const int16_t code = KeyCodeForLabel(key.Label, key.NumLock);
  PressCode(code, ShiftCode(event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0));
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

// A release at (cssX, cssY) in the canvas's CSS box.
void Release(MouseButton button, int shift, long cssX, long cssY) {
  double cssWidth = 0;
  double cssHeight = 0;
  emscripten_get_element_css_size(CanvasSelector, &cssWidth, &cssHeight);
  const Surface& surface = program.surface;
  const double scaleX = cssWidth > 0 ? surface.Width / cssWidth : 1;
  const double scaleY = cssHeight > 0 ? surface.Height / cssHeight : 1;
  const auto x = static_cast<float>(static_cast<double>(cssX) * scaleX);
  const auto y = static_cast<float>(static_cast<double>(cssY) * scaleY);
  ReleaseMouseButton(program, MouseButtonCode(button), shift, x, y);
  ++seeds;
}

EM_BOOL OnMouseUp(int /*eventType*/, const EmscriptenMouseEvent* event, void* /*userData*/) {
  const int shift = ShiftCode(event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0);
  Release(MouseButtonOf(event->button), shift, event->targetX, event->targetY);
  return EM_TRUE;
}

// Taking the touch keeps the page from scrolling or zooming and the browser from following the
// tap with mouse events, which would seed a second time.
EM_BOOL OnTouchStart(int /*eventType*/, const EmscriptenTouchEvent* /*event*/, void* /*userData*/) {
  return EM_TRUE;
}

// A finger lifted is a left button released where it was lifted.
EM_BOOL OnTouchEnd(int /*eventType*/, const EmscriptenTouchEvent* event, void* /*userData*/) {
  for (int k = 0; k < event->numTouches; ++k) {
    const EmscriptenTouchPoint& touch = event->touches[k];
    if (touch.isChanged != 0) {
      const int shift = ShiftCode(event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0);
      Release(MouseButton::Left, shift, touch.targetX, touch.targetY);
      break;
    }
  }
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

// Called by the page with the canvas's new size in CSS pixels. After the end nothing changes.
extern "C" EMSCRIPTEN_KEEPALIVE void gravity_resize(int width, int height) {
  if (!program.Ended) {
    ResizeCanvas(canvas, program, width, height);
  }
}

// Called by an on-screen key with its virtual key code.
extern "C" EMSCRIPTEN_KEEPALIVE void gravity_press_key(int code) {
  PressCode(static_cast<int16_t>(code), ShiftCode(false, false, false));
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

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_seeds() {
  return seeds;
}

int main() {
  // The window opens at the page's size for it, then its load event runs.
  PageWatchCanvas();
  LoadProgram(program, program.surface.Width, program.surface.Height);
  PageWatchKeys();

  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKeyDown);
  emscripten_set_mousedown_callback(CanvasSelector, nullptr, EM_TRUE, OnMouseDown);
  emscripten_set_mouseup_callback(CanvasSelector, nullptr, EM_TRUE, OnMouseUp);
  emscripten_set_touchstart_callback(CanvasSelector, nullptr, EM_TRUE, OnTouchStart);
  emscripten_set_touchend_callback(CanvasSelector, nullptr, EM_TRUE, OnTouchEnd);
  emscripten_request_animation_frame_loop(RunFrame, nullptr);
  return 0;
}
