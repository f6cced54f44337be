// The Windows window layer: the same core as the desktop program and the page, on plain Win32
// with no library beyond the system's own.
// - Pixels: the surface is the client area in surface units of 1/96 inch, so on a monitor of
//   144 or 192 DPI each unit is 1.5 or 2 device pixels across. At most once per display refresh
//   the rectangles drawn on since the last present are copied into a DIB section and blitted onto
//   the client area, stretched with nearest neighbour where the monitor is dense (window.h).
// - Cadence: the loop sleeps on a high-resolution waitable timer set for the next 1 ms firing,
//   and on the message queue at the same time; where Windows has no high-resolution timers (before
//   Windows 10 1803) an ordinary one with the system timer at 1 ms stands in. Firings up to 50 ms
//   late are caught up, a longer pause is a stall after which the cadence restarts, as on the
//   desktop. While the user drags the window's frame, Windows' own loop runs and a window timer
//   runs the firings instead.
// - Input: WM_KEYDOWN's virtual-key code is already the code the commands take: 13 for both Enter
//   keys, the navigation keys for the keypad with NumLock off, one message per auto-repeat. The
//   release of any mouse button seeds at the pointer, its device pixels divided by the scale.
// - End: Escape and closing the window end the process at once with ExitProcess(0). Tearing the
//   window down first shows nothing new and under Wine takes seconds.

#include "platform/windows/event_loop.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "platform/key_table.h"
#include "platform/pacing.h"
#include "platform/windows/window.h"

// After windows.h (which window.h includes), which they build on.
// clang-format off
#include <mmsystem.h>
#include <windowsx.h>
// clang-format on

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

constexpr UINT_PTR SizeMoveTimer = 1;
constexpr int64_t NsPerTimerUnit = 100;  // waitable timers count in units of 100 ns

// The window, the program it shows, and what the loop keeps between passes.
struct Loop {
  Program& p;
  Window w{};
  bool PrintCounts = false;
  bool Loaded = false;       // the program's load event has run
  HANDLE Timer = nullptr;    // the waitable timer the loop sleeps on
  bool InputWaiting = true;  // the last wait ended for a message
  int64_t RefreshNs = RefreshIntervalNs(0);
  int64_t NextPresentNs = 0;
  int64_t NextInputNs = 0;
  int64_t NextPrintNs = 0;
  int64_t Presents = 0;
};

int64_t NowNs() {
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

[[noreturn]] void EndProcess(const Loop& loop) {
  if (loop.PrintCounts) {
    std::fflush(stdout);
  }
  ExitProcess(0);
}

// The refresh interval of the window's display. Windows says 0 or 1 for the hardware's default.
int64_t DisplayRefreshNs(HWND window) {
  const HDC dc = GetDC(window);
  const int hz = dc != nullptr ? GetDeviceCaps(dc, VREFRESH) : 0;
  if (dc != nullptr) {
    ReleaseDC(window, dc);
  }
  return RefreshIntervalNs(hz > 1 ? hz : 0);
}

// A high-resolution timer where Windows has them, else an ordinary one with the system's timer
// resolution raised to 1 ms for as long as the program runs.
HANDLE CreateCadenceTimer() {
  HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_ALL_ACCESS);
  if (timer == nullptr) {
    timeBeginPeriod(1);
    timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  }
  return timer;
}

int KeyShift() {
  return ShiftCode(GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                   GetKeyState(VK_MENU) < 0);
}

// The client area has a new size or density: the surface follows it in surface units, and the
// DIB follows the surface. Nothing of this happens while minimised, where the client area is 0 x 0.
void FollowWindowSize(Loop& loop) {
  if (IsIconic(loop.w.Handle) != 0) {
    return;
  }
  ReadWindowSize(loop.w);
  ResizeProgram(loop.p, SurfaceWidthOf(loop.w), SurfaceHeightOf(loop.w));
  MatchDibToSurface(loop.w, loop.p);
  InvalidateRect(loop.w.Handle, nullptr, FALSE);
}

// Whether there is something new to show, and it can be seen.
bool PresentPending(const Loop& loop) {
  return HasChanges(loop.p) && IsIconic(loop.w.Handle) == 0;
}

// Shows the surface at most once per refresh of the display (platform/pacing.h).
void PresentIfDue(Loop& loop, int64_t nowNs) {
  if (nowNs < loop.NextPresentNs || !PresentPending(loop)) {
    return;
  }
  if (PresentChanges(loop.w, loop.p)) {
    ++loop.Presents;
  }
  loop.NextPresentNs = NextPresentNs(nowNs, NowNs() - nowNs, loop.RefreshNs);
}

void PrintCountsIfDue(Loop& loop, int64_t nowNs) {
  if (!loop.PrintCounts || nowNs < loop.NextPrintNs) {
    return;
  }
  TimerFirings& firings = loop.p.Firings;
  std::printf("firings_t=%" PRId64 " firings_h=%" PRId64 " presents=%" PRId64
              " uploaded_px=%" PRId64 "\n",
              firings.CountT, firings.CountH, loop.Presents, loop.w.UploadedPixels);
  std::fflush(stdout);
  firings.CountT = 0;
  firings.CountH = 0;
  loop.Presents = 0;
  loop.w.UploadedPixels = 0;
  // Whole seconds apart, unless the program was held up for longer than one.
  loop.NextPrintNs = std::max(loop.NextPrintNs + NsPerSecond, nowNs);
}

// One pass of work: the firings due by now, then a present and a line of counts if due.
void RunPass(Loop& loop) {
  RunDueFirings(loop.p, NowNs());
  PresentIfDue(loop, NowNs());
  PrintCountsIfDue(loop, NowNs());
}

void ReleaseButton(Loop& loop, MouseButton button, WPARAM wParam, LPARAM lParam) {
  const int shift =
      ShiftCode((wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
  ReleaseMouseButton(loop.p, MouseButtonCode(button), shift,
                     DeviceToSurface(loop.w, GET_X_LPARAM(lParam)),
                     DeviceToSurface(loop.w, GET_Y_LPARAM(lParam)));
  // The window keeps the mouse while any button is held, so a release outside it still counts.
  if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2)) == 0) {
    ReleaseCapture();
  }
}

// Handles the messages the program acts on. Returns false for those left to DefWindowProc.
bool HandleMessage(Loop& loop, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      PressKey(loop.p, static_cast<int16_t>(wParam), KeyShift());
      if (loop.p.Ended) {
        EndProcess(loop);
      }
      // Alt's combinations (Alt+F4 among them) still reach Windows.
      return message == WM_KEYDOWN;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      SetCapture(loop.w.Handle);
      return true;
    case WM_LBUTTONUP:
      ReleaseButton(loop, MouseButton::Left, wParam, lParam);
      return true;
    case WM_RBUTTONUP:
      ReleaseButton(loop, MouseButton::Right, wParam, lParam);
      return true;
    case WM_MBUTTONUP:
      ReleaseButton(loop, MouseButton::Middle, wParam, lParam);
      return true;
    case WM_XBUTTONUP:
      ReleaseButton(
          loop, GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? MouseButton::Back : MouseButton::Forward,
          wParam, lParam);
      return true;
    case WM_SIZE:
      FollowWindowSize(loop);
      return true;
    case WM_DPICHANGED: {
      // Onto a monitor of another density: the size Windows suggests keeps the surface's size.
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(loop.w.Handle, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      FollowWindowSize(loop);
      return true;
    }
    case WM_MOVE:
    case WM_DISPLAYCHANGE:
      // Perhaps onto another screen, or the screen's mode changed: another refresh rate.
      loop.RefreshNs = DisplayRefreshNs(loop.w.Handle);
      return false;
    case WM_PAINT:
      PaintWindow(loop.w);
      return true;
    case WM_ERASEBKGND:
      return true;  // WM_PAINT covers all of the client area
    case WM_ENTERSIZEMOVE:
      SetTimer(loop.w.Handle, SizeMoveTimer, USER_TIMER_MINIMUM, nullptr);
      return false;
    case WM_EXITSIZEMOVE:
      KillTimer(loop.w.Handle, SizeMoveTimer);
      return false;
    case WM_TIMER:
      RunPass(loop);
      return true;
    case WM_CLOSE:
      EndProcess(loop);
    default:
      return false;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* loop = reinterpret_cast<Loop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (loop != nullptr && loop->Loaded && HandleMessage(*loop, message, wParam, lParam)) {
    return message == WM_ERASEBKGND || message == WM_XBUTTONUP || message == WM_XBUTTONDOWN ? 1 : 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Dispatches every pending message when some may be waiting.
void HandleMessagesIfDue(Loop& loop, int64_t nowNs) {
  if (!loop.InputWaiting && nowNs < loop.NextInputNs) {
    return;
  }
  loop.InputWaiting = false;
  loop.NextInputNs = nowNs + InputIntervalNs;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
    if (message.message == WM_QUIT) {
      EndProcess(loop);
    }
    DispatchMessageW(&message);
  }
}

// The moment the loop next has work: a timer firing, a present or a line of counts.
int64_t NextWakeNs(const Loop& loop) {
  int64_t wake = NextFiringNs(loop.p);
  if (PresentPending(loop)) {
    wake = std::min(wake, loop.NextPresentNs);
  }
  if (loop.PrintCounts) {
    wake = std::min(wake, loop.NextPrintNs);
  }
  return wake;
}

// Sleeps until `wakeNs` or the next message, whichever comes first.
void WaitUntil(Loop& loop, int64_t wakeNs) {
  const int64_t waitNs = std::min(wakeNs - NowNs(), MaxWaitNs);
  if (waitNs <= 0) {
    return;
  }
  DWORD result = 0;
  if (loop.Timer != nullptr) {
    LARGE_INTEGER due{};
    due.QuadPart = -std::max<int64_t>(waitNs / NsPerTimerUnit, 1);  // relative, in 100 ns
    SetWaitableTimer(loop.Timer, &due, 0, nullptr, nullptr, FALSE);
    result =
        MsgWaitForMultipleObjectsEx(1, &loop.Timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    loop.InputWaiting = result == WAIT_OBJECT_0 + 1;
  } else {
    result = MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(waitNs / NsPerMs),
                                         QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    loop.InputWaiting = result == WAIT_OBJECT_0;
  }
}

}  // namespace

int RunWindowsProgram(Program& program, bool printCounts) {
  // At 1.5 MB the program lives where the caller put it; the loop itself is small.
  static Loop loop{program};
  loop.PrintCounts = printCounts;
  if (!OpenWindow(loop.w, WindowProc, &loop)) {
    return 1;
  }
  // The window's load event, on a surface of the client area's size in surface units.
  LoadProgram(program, SurfaceWidthOf(loop.w), SurfaceHeightOf(loop.w));
  loop.Loaded = true;
  MatchDibToSurface(loop.w, program);
  loop.Timer = CreateCadenceTimer();
  loop.RefreshNs = DisplayRefreshNs(loop.w.Handle);
  loop.NextPresentNs = NowNs();
  loop.NextPrintNs = NowNs() + NsPerSecond;
  ShowWindow(loop.w.Handle, SW_SHOWNORMAL);
  UpdateWindow(loop.w.Handle);

  for (;;) {
    // Messages first, so a timer switched on by a key starts its cadence in this same pass.
    HandleMessagesIfDue(loop, NowNs());
    RunPass(loop);
    WaitUntil(loop, NextWakeNs(loop));
  }
}
