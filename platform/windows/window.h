#pragma once

#include <cstdint>

#include "program/program.h"
#include "view/changed_region.h"

// After the core's headers, and without its RGB macro: the surface has an RGB of its own.
#include <windows.h>
#undef RGB

// The window `w`: a Win32 window whose client area shows the program's surface from its top-left
// corner, each surface unit (1/96 inch) as Scale x Scale device pixels. The surface's pixels reach
// the screen through a DIB section in Windows' byte order, which always holds what was last shown.
struct Window {
  HWND Handle = nullptr;
  HDC MemoryDc = nullptr;  // has the DIB section selected
  HBITMAP Dib = nullptr;
  HGDIOBJ FirstBitmap = nullptr;  // the memory DC's own bitmap, put back before the DIB goes
  uint32_t* DibPixels = nullptr;  // B, G, R, 0 in memory, top-down, DibWidth x DibHeight
  int DibWidth = 0;
  int DibHeight = 0;
  UINT Dpi = USER_DEFAULT_SCREEN_DPI;
  float Scale = 1;      // device pixels per surface unit: the monitor's DPI over 96
  int ClientWidth = 0;  // the client area in device pixels
  int ClientHeight = 0;
  ChangedRects Changed;        // what one present shows
  int64_t UploadedPixels = 0;  // surface pixels shown, for the measuring build
};

inline constexpr wchar_t Caption[] = L"Form1";
// The client area when the window opens, in surface units.
inline constexpr int StartWidth = 626;
inline constexpr int StartHeight = 549;

// Opens the hidden window "Form1" with a black client area of StartWidth x StartHeight surface
// units at the monitor's density. `windowProc` receives its messages, with `userData` in
// GWLP_USERDATA from the first one on. Returns false when Windows refuses.
bool OpenWindow(Window& w, WNDPROC windowProc, void* userData);

// The client area in surface units, at the window's present size and density.
int SurfaceWidthOf(const Window& w);
int SurfaceHeightOf(const Window& w);

// Reads the client area's size and the monitor's density anew (after WM_SIZE or WM_DPICHANGED).
void ReadWindowSize(Window& w);

// Makes the DIB section match the surface and shows all of it. Allocates; used after a resize.
bool MatchDibToSurface(Window& w, Program& program);

// Copies what changed on the surface into the DIB section and shows those rectangles. Returns
// false when there was nothing to show them on; all of the surface is then shown next time.
bool PresentChanges(Window& w, Program& program);

// Repaints the client area from the DIB section, black beyond the surface (WM_PAINT).
void PaintWindow(Window& w);

// A mouse position in device pixels of the client area, in surface units.
float DeviceToSurface(const Window& w, int device);
