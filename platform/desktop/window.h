#pragma once

#include <SDL2/SDL_surface.h>
#include <SDL2/SDL_video.h>

#include "view/surface.h"
#include "view/view.h"

// The window `w`: an SDL window whose client area shows the program's surface. Presenting copies
// the surface's pixels into the window's own pixel buffer and hands that to the display; no GPU
// renderer is involved.
struct Window {
  SDL_Window* Sdl = nullptr;
  SDL_Surface* Target = nullptr;  // the window's pixels; SDL replaces them after a resize
  SDL_Surface* Source = nullptr;  // the program's surface seen by SDL, sharing its pixels
};

inline constexpr char Caption[] = "Form1";
inline constexpr int StartWidth = 626;  // client area when the window opens, in pixels
inline constexpr int StartHeight = 549;

// Starts SDL's video, opens the window with a black client area and sizes `surface` to it. On
// failure returns false with the reason in SDL_GetError(); CloseWindow undoes what was done.
bool OpenWindow(Window& w, Surface& surface);
void CloseWindow(Window& w);

// Sizes `surface` to the window's client area in pixels, keeping what is drawn on it. Only
// allocates when the size really changed.
void MatchSurfaceToWindow(Window& w, Surface& surface);

// Shows the surface in the window. Returns false when there was nothing to show it on.
bool PresentSurface(Window& w, Surface& surface);

// Whether the window can be seen at all: not minimised and not hidden.
bool WindowIsShowing(const Window& w);

// Turns a mouse position in window coordinates into surface units (they differ on high-DPI
// screens, where a window coordinate spans several pixels).
ScreenPoint MouseToSurface(const Window& w, int x, int y);
