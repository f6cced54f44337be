#pragma once

// The Windows window layer: the same core as the desktop program and the page, on plain Win32
// with no library beyond the system's own. It supplies the host (host/host.h):
// - Pixels: the surface's changed rectangles are copied into a DIB section and blitted onto the
//   client area, stretched with nearest neighbour where the monitor is dense.
// - Cadence: the host sleeps on a high-resolution waitable timer set for its next moment, and on
//   the message queue at the same time; where Windows has no high-resolution timers (before
//   Windows 10 1803) an ordinary one with the system timer at 1 ms stands in. While the user drags
//   the window's frame, Windows' own loop runs the messages and a window timer runs the host's
//   passes instead.
// - Events: the window procedure queues them for the host. WM_KEYDOWN's virtual-key code is
//   already the code the commands take: 13 for both Enter keys, the navigation keys for the keypad
//   with NumLock off, one message per auto-repeat. The release of any mouse button is taken at
//   the pointer, in device pixels. WM_SIZE and WM_DPICHANGED report the client area, WM_MOVE the
//   refresh rate, WM_CLOSE a close.
// - End: after Escape or a close the host's loop returns and the entry point ends the process at
//   once with ExitProcess(0). Tearing the window down first shows nothing new and under Wine takes
//   seconds.

#include <cstdint>

#include "host/platform.h"
#include "program/program.h"

// After the core's headers, and without its RGB macro: the surface has an RGB of its own.
#include <windows.h>
#undef RGB

// The window `w` on Win32: its client area shows the program's surface from its top-left corner,
// each surface unit (1/96 inch) by the device pixels the host's rule gives it at the monitor's
// density (host/pixels.h). The surface's pixels reach the screen through a DIB section in
// Windows' byte order; a picture Windows loses is shown again by the host's next present.
struct Window {
  HWND Handle = nullptr;
  HDC MemoryDc = nullptr;  // has the DIB section selected
  HBITMAP Dib = nullptr;
  HGDIOBJ FirstBitmap = nullptr;  // the memory DC's own bitmap, put back before the DIB goes
  uint32_t* DibPixels = nullptr;  // B, G, R, 0 in memory, top-down, DibWidth x DibHeight
  int DibWidth = 0;
  int DibHeight = 0;
  HANDLE Timer = nullptr;   // the waitable timer the host's waits sleep on
  bool InSizeMove = false;  // the user drags the frame: Windows' own loop runs the messages
  EventQueue Events;        // made by the window procedure, for the host
  HostPass Pass;
};

// Opens the hidden window "Form1" with a black client area of StartWidth x StartHeight surface
// units at the monitor's density. Returns false when Windows refuses.
bool OpenWindow(Window& w);

// Queues the client area's size in device pixels and its scale for the host.
void QueueClientSize(Window& w);

// The refresh rate of the window's display, 0 when it does not say.
int DisplayRefreshHz(const Window& w);
