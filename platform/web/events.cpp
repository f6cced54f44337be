#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>

#include "commands/handle_key.h"
#include "platform/key_table.h"
#include "platform/web/page.h"
#include "platform/web/web_keys.h"
#include "platform/web/window.h"

namespace {

// The page's one window, for the functions the page's JavaScript calls.
Window* page = nullptr;

void EndProgram() {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
  emscripten_set_mousedown_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  emscripten_set_mouseup_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  emscripten_set_touchstart_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  emscripten_set_touchend_callback(CanvasSelector, nullptr, EM_TRUE, nullptr);
  PageShowEnded();
}

// A key press from the keyboard or an on-screen key.
void PressCode(Window& w, int16_t code, int shift) {
  Program& program = *w.ItsProgram;
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
EM_BOOL OnKeyDown(int /*eventType*/, const EmscriptenKeyboardEvent* event, void* userData) {
  auto& w = *static_cast<Window*>(userData);
  if (w.ItsProgram->Ended) {
    return EM_FALSE;
  }
  const WebKey key = DescribeWebKey(event->key, event->code);
  const int16_t code = KeyCodeForLabel(key.Label, key.NumLock);
  PressCode(w, code, ShiftCode(event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0));
  return IsCommandKey(code) ? EM_TRUE : EM_FALSE;
}

// The mouse button by MouseEvent.button's numbering: 0 main, 1 middle, 2 secondary, 3 back, 4
// forward.
MouseButton WebMouseButton(unsigned short button) {
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

// A release at (cssX, cssY) in the canvas's CSS box, which is the surface's.
void Release(Window& w, MouseButton button, int shift, long cssX, long cssY) {
  ReleaseMouseButton(*w.ItsProgram, MouseButtonCode(button), shift,
                     PointerToUnits(static_cast<double>(cssX), Unscaled),
                     PointerToUnits(static_cast<double>(cssY), Unscaled));
  ++w.Seeds;
}

EM_BOOL OnMouseUp(int /*eventType*/, const EmscriptenMouseEvent* event, void* userData) {
  const int shift = ShiftCode(event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0);
  Release(*static_cast<Window*>(userData), WebMouseButton(event->button), shift, event->targetX,
          event->targetY);
  return EM_TRUE;
}

// Taking the touch keeps the page from scrolling or zooming and the browser from following the
// tap with mouse events, which would seed a second time.
EM_BOOL OnTouchStart(int /*eventType*/, const EmscriptenTouchEvent* /*event*/, void* /*userData*/) {
  return EM_TRUE;
}

// A finger lifted is a left button released where it was lifted.
EM_BOOL OnTouchEnd(int /*eventType*/, const EmscriptenTouchEvent* event, void* userData) {
  for (int k = 0; k < event->numTouches; ++k) {
    const EmscriptenTouchPoint& touch = event->touches[k];
    if (touch.isChanged != 0) {
      const int shift = ShiftCode(event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0);
      Release(*static_cast<Window*>(userData), MouseButton::Left, shift, touch.targetX,
              touch.targetY);
      break;
    }
  }
  return EM_TRUE;
}

// One animation frame: one host pass. Returning false ends the loop.
EM_BOOL RunFrame(double /*frameTimeMs*/, void* userData) {
  auto& w = *static_cast<Window*>(userData);
  if (w.ItsProgram->Ended) {
    return EM_FALSE;
  }
  RunHostPass(*w.ItsHost, w, *w.ItsProgram);
  return EM_TRUE;
}

}  // namespace

int64_t PlatformNowNs(Window& /*w*/) {
  return static_cast<int64_t>(emscripten_get_now() * static_cast<double>(NsPerMs));
}

// The page's input arrives through the browser's callbacks between frames (above), on the
// same thread as the frames, so there is nothing left to read here.
bool PlatformReadInput(Window& /*w*/, Host& /*host*/, Program& /*program*/) {
  return true;
}

void StartPage(Window& w, Host& host, Program& program) {
  w.ItsHost = &host;
  w.ItsProgram = &program;
  page = &w;
  // The browser wakes the page once a frame: a frame's worth of firings is caught up, and each
  // frame may present, however long the last present took, and show all of it at once.
  host.MaxCatchUpNs = FrameCatchUpNs;
  host.RefreshNs = 0;
  host.PartPixels = INT64_MAX;
  PageWatchCanvas();
  PageWatchKeys();
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &w, EM_TRUE, OnKeyDown);
  emscripten_set_mousedown_callback(CanvasSelector, &w, EM_TRUE, OnMouseDown);
  emscripten_set_mouseup_callback(CanvasSelector, &w, EM_TRUE, OnMouseUp);
  emscripten_set_touchstart_callback(CanvasSelector, &w, EM_TRUE, OnTouchStart);
  emscripten_set_touchend_callback(CanvasSelector, &w, EM_TRUE, OnTouchEnd);
  emscripten_request_animation_frame_loop(RunFrame, &w);
}

// Called by the page with the canvas's new size in CSS pixels. After the end nothing changes.
extern "C" EMSCRIPTEN_KEEPALIVE void gravity_resize(int width, int height) {
  if (page != nullptr && !page->ItsProgram->Ended) {
    HostResized(*page->ItsHost, width, height, Unscaled);
  }
}

// Called by an on-screen key with its virtual key code.
extern "C" EMSCRIPTEN_KEEPALIVE void gravity_press_key(int code) {
  if (page != nullptr) {
    PressCode(*page, static_cast<int16_t>(code), ShiftCode(false, false, false));
  }
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_ticks() {
  return page != nullptr ? static_cast<double>(page->ItsProgram->Firings.CountT) : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_playback_ticks() {
  return page != nullptr ? static_cast<double>(page->ItsProgram->Firings.CountH) : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_presents() {
  return page != nullptr ? static_cast<double>(page->ItsHost->AllPresents) : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE double gravity_seeds() {
  return page != nullptr ? page->Seeds : 0;
}
