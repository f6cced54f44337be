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
  PageShowReload();
}

// A key press from the keyboard or an on-screen key.
void PressCode(Window& w, int16_t code, int shift) {
  PushEvent(w.Events, KeyEvent(code, shift));
}

// Held keys repeat, and every repeat is a press of its own. Returning true keeps the page from
// acting on the key too.
EM_BOOL OnKeyDown(int /*eventType*/, const EmscriptenKeyboardEvent* event, void* userData) {
  auto& w = *static_cast<Window*>(userData);
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

// A release at (cssX, cssY) in the canvas's CSS box.
void Release(Window& w, MouseButton button, int shift, long cssX, long cssY) {
  PushEvent(w.Events, ReleaseEvent(MouseButtonCode(button), shift, static_cast<double>(cssX),
                                   static_cast<double>(cssY)));
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

// One animation frame: one host pass. After Escape the loop and the input end.
EM_BOOL RunFrame(double /*frameTimeMs*/, void* userData) {
  auto& w = *static_cast<Window*>(userData);
  if (w.Pass.Run(w.Pass.Host)) {
    return EM_TRUE;
  }
  w.Stopped = true;
  EndProgram();
  return EM_FALSE;
}

}  // namespace

int64_t PlatformNowNs(Window& /*w*/) {
  return static_cast<int64_t>(emscripten_get_now() * static_cast<double>(NsPerMs));
}

// The page is never put to sleep: the browser runs a pass each frame.
bool PlatformWait(Window& /*w*/, int64_t /*wakeNs*/) {
  return false;
}

bool PlatformNextEvent(Window& w, PlatformEvent& event) {
  return PopEvent(w.Events, event);
}

void OpenPage(Window& w) {
  page = &w;
  PageWatchCanvas();
  PageWatchKeys();
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &w, EM_TRUE, OnKeyDown);
  emscripten_set_mousedown_callback(CanvasSelector, &w, EM_TRUE, OnMouseDown);
  emscripten_set_mouseup_callback(CanvasSelector, &w, EM_TRUE, OnMouseUp);
  emscripten_set_touchstart_callback(CanvasSelector, &w, EM_TRUE, OnTouchStart);
  emscripten_set_touchend_callback(CanvasSelector, &w, EM_TRUE, OnTouchEnd);
}

void PlatformTakePass(Window& w, HostPass pass) {
  w.Pass = pass;
  emscripten_request_animation_frame_loop(RunFrame, &w);
}

// Called by the page with the canvas's new size in CSS pixels. After the end nothing changes.
extern "C" EMSCRIPTEN_KEEPALIVE void gravity_resize(int width, int height) {
  if (page != nullptr && !page->Stopped) {
    PushEvent(page->Events, ResizeEvent(width, height, Unscaled));
  }
}

// Called by an on-screen key with its virtual key code.
extern "C" EMSCRIPTEN_KEEPALIVE void gravity_press_key(int code) {
  if (page != nullptr && !page->Stopped) {
    PressCode(*page, static_cast<int16_t>(code), ShiftCode(false, false, false));
  }
}
