#include <algorithm>

#include "platform/key_table.h"
#include "platform/windows/window.h"

// After windows.h (which window.h includes), which it builds on.
#include <windowsx.h>

namespace {

constexpr UINT_PTR SizeMoveTimer = 1;

int KeyShift() {
  return ShiftCode(GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                   GetKeyState(VK_MENU) < 0);
}

// The release of a mouse button: WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP or WM_XBUTTONUP.
void QueueRelease(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
  MouseButton button = MouseButton::Left;
  if (message == WM_RBUTTONUP) {
    button = MouseButton::Right;
  } else if (message == WM_MBUTTONUP) {
    button = MouseButton::Middle;
  } else if (message == WM_XBUTTONUP) {
    button = GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? MouseButton::Back : MouseButton::Forward;
  }
  const int shift =
      ShiftCode((wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
  PushEvent(w.Events, ReleaseEvent(MouseButtonCode(button), shift, GET_X_LPARAM(lParam),
                                   GET_Y_LPARAM(lParam)));
  // The window keeps the mouse while any button is held, so a release outside it still counts.
  if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2)) == 0) {
    ReleaseCapture();
  }
}

// While the user drags the frame, Windows' own loop runs the messages, and a window timer runs the
// host's passes in the meantime. After Escape or a close the drag is called off.
void RunPassWhileDragged(Window& w) {
  if (w.Pass.Run != nullptr && !w.Pass.Run(w.Pass.Host)) {
    KillTimer(w.Handle, SizeMoveTimer);
    SendMessageW(w.Handle, WM_CANCELMODE, 0, 0);
  }
}

// Turns the messages the program acts on into events for the host. Returns false for those left
// to DefWindowProc.
bool HandleMessage(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      PushEvent(w.Events, KeyEvent(static_cast<int16_t>(wParam), KeyShift()));
      // Alt's combinations (Alt+F4 among them) still reach Windows.
      return message == WM_KEYDOWN;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      SetCapture(w.Handle);
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
      QueueRelease(w, message, wParam, lParam);
      return true;
    case WM_SIZE:
      QueueClientSize(w);
      return true;
    case WM_DPICHANGED: {
      // Onto a monitor of another density: the size Windows suggests keeps the surface's size,
      // and the WM_SIZE it brings reports it.
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(w.Handle, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      QueueClientSize(w);
      return true;
    }
    case WM_MOVE:
    case WM_DISPLAYCHANGE:
      // Perhaps onto another screen, or the screen's mode changed: another refresh rate.
      PushEvent(w.Events, RefreshEvent(DisplayRefreshHz(w)));
      return false;
    case WM_PAINT: {
      // Windows paints what it asks for black, with the class's brush, and the host shows all of
      // the picture again at its next present.
      PAINTSTRUCT paint{};
      BeginPaint(w.Handle, &paint);
      EndPaint(w.Handle, &paint);
      PushEvent(w.Events, {.Kind = EventKind::PictureLost});
      return true;
    }
    case WM_ENTERSIZEMOVE:
      w.InSizeMove = true;
      SetTimer(w.Handle, SizeMoveTimer, USER_TIMER_MINIMUM, nullptr);
      return false;
    case WM_EXITSIZEMOVE:
      w.InSizeMove = false;
      KillTimer(w.Handle, SizeMoveTimer);
      return false;
    case WM_TIMER:
      RunPassWhileDragged(w);
      return true;
    case WM_CLOSE:
      PushEvent(w.Events, {.Kind = EventKind::Closed});
      return true;
    default:
      return false;
  }
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* w = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // Messages that come while the window is being made, before it knows its handle, are Windows'.
  if (w != nullptr && w->Handle != nullptr && HandleMessage(*w, message, wParam, lParam)) {
    return message == WM_XBUTTONUP || message == WM_XBUTTONDOWN ? 1 : 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Waitable timers count in units of 100 ns.
constexpr int64_t NsPerTimerUnit = 100;

int64_t PlatformNowNs(Window& /*w*/) {
  static const int64_t frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<int64_t>(f.QuadPart);
  }();
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  const int64_t c = counter.QuadPart;
  return c / frequency * NsPerSecond + c % frequency * NsPerSecond / frequency;
}

bool PlatformWait(Window& w, int64_t wakeNs) {
  const int64_t waitNs = wakeNs - PlatformNowNs(w);
  if (waitNs <= 0) {
    return false;
  }
  if (w.Timer != nullptr) {
    LARGE_INTEGER due{};
    due.QuadPart = -std::max<int64_t>(waitNs / NsPerTimerUnit, 1);  // relative, in 100 ns
    SetWaitableTimer(w.Timer, &due, 0, nullptr, nullptr, FALSE);
    return MsgWaitForMultipleObjectsEx(1, &w.Timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
           WAIT_OBJECT_0 + 1;
  }
  return MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(waitNs / NsPerMs), QS_ALLINPUT,
                                     MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0;
}

// Dispatches messages until the window procedure has made an event of one. While the user drags
// the frame, Windows' own loop is dispatching and this one keeps out of its way.
bool PlatformNextEvent(Window& w, PlatformEvent& event) {
  MSG message;
  while (w.Events.Count == 0 && !w.InSizeMove &&
         PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
    if (message.message == WM_QUIT) {
      PushEvent(w.Events, {.Kind = EventKind::Closed});
    } else {
      DispatchMessageW(&message);
    }
  }
  return PopEvent(w.Events, event);
}

void PlatformTakePass(Window& w, HostPass pass) {
  w.Pass = pass;
}
