#pragma once

#include <cstdint>

#include "host/host.h"
#include "program/program.h"

// After the core's headers, and without its RGB macro: the surface has an RGB of its own.
#include <windows.h>
#undef RGB

// The window `w` on Win32: its client area shows the program's surface from its top-left corner,
// each surface unit (1/96 inch) by the device pixels the host's rule gives it at the monitor's
// density (host/pixels.h). The surface's pixels reach the screen through a DIB section in
// Windows' byte order, which always holds what was last shown.
struct Window {
  HWND Handle = nullptr;
  HDC MemoryDc = nullptr;  // has the DIB section selected
  HBITMAP Dib = nullptr;
  HGDIOBJ FirstBitmap = nullptr;  // the memory DC's own bitmap, put back before the DIB goes
  uint32_t* DibPixels = nullptr;  // B, G, R, 0 in memory, top-down, DibWidth x DibHeight
  int DibWidth = 0;
  int DibHeight = 0;
  int Scale = Unscaled;     // of the DIB, as the host last applied it
  HANDLE Timer = nullptr;   // the waitable timer the host's waits sleep on
  bool InSizeMove = false;  // the user drags the frame: Windows' own loop runs the messages
  // What the window procedure hands messages on to, from the load event on.
  Host* ItsHost = nullptr;
  Program* ItsProgram = nullptr;
};

// Opens the hidden window "Form1" with a black client area of StartWidth x StartHeight surface
// units at the monitor's density, and tells the host its client area and refresh rate. Returns
// false when Windows refuses.
bool OpenWindow(Window& w, Host& host);

// The client area's size in device pixels and its scale, for the host.
void ReportClientSize(Window& w, Host& host);

// The refresh rate of the window's display, 0 when it does not say.
int DisplayRefreshHz(const Window& w);

// Repaints the part of the client area Windows asks for from the DIB section, black beyond the
// surface (WM_PAINT).
void PaintWindow(Window& w);
