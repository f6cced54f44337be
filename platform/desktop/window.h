#pragma once

// The desktop's window layer on SDL2, for X11 and Wayland. It supplies the host (host/host.h):
// - Pixels: the surface's changed rectangles are copied into the window's own pixel buffer, or
//   uploaded into a renderer's texture where there is none, at the screen's scale.
// - Cadence: the host sleeps in SDL's event wait, which wakes at once for input, and otherwise at
//   the first whole millisecond after the host's next moment, on the steady clock.
// - Events: SDL's key-down events become virtual key codes by the keys' labels (key_codes.h), with
//   every auto-repeat a press of its own; a mouse-button release is taken at the pointer, its
//   window coordinates turned into device pixels. Window events report a new client size, a lost
//   picture or another display's refresh rate; closing the window, SIGINT and SIGTERM a close.
// - End: the host's loop returns after Escape or a close, and the entry point returns 0.

#include <SDL2/SDL_rect.h>
#include <SDL2/SDL_render.h>
#include <SDL2/SDL_surface.h>
#include <SDL2/SDL_video.h>

#include "host/pacing.h"
#include "host/platform.h"
#include "program/program.h"
#include "view/changed_region.h"

// How the window's picture reaches the screen.
enum class PresentPath {
  // The surface's changed rectangles are copied into the window's own pixel buffer, which SDL
  // hands to the display: the cheapest way wherever SDL offers such a buffer for the window.
  WindowPixels,
  // Where it does not (a 30-bit X screen, Wayland), an SDL renderer: the changed rectangles are
  // uploaded into a streaming texture, which is drawn and presented whole.
  Renderer,
};

// The window `w` on SDL: its client area shows the program's surface from the top-left corner,
// each unit by the device pixels the host's rule gives it (host/pixels.h): on a screen of scale s
// a block of about s x s pixels, nearest neighbour, so the picture stays crisp; at scale 1 pixel
// for pixel.
struct Window {
  SDL_Window* Sdl = nullptr;
  PresentPath Path = PresentPath::WindowPixels;
  SDL_Surface* Target = nullptr;  // the window's pixels; SDL replaces them after a resize
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;  // the renderer's copy of the surface
  int TextureWidth = 0;            // at most the surface's size, and what the renderer allows
  int TextureHeight = 0;
  // The client area in window coordinates and in pixels, both read at the same moment, so the
  // mouse maps with one consistent pair even while a resize is on its way.
  SDL_Point PointSize{0, 0};
  SDL_Point PixelSize{0, 0};
  // X11 only announces a density, which is read once when the window opens; a desktop that scales
  // windows itself says its scale by giving more pixels than window coordinates.
  int AnnouncedScale = Unscaled;
  SDL_Surface* Staging = nullptr;     // a band of the window's pixels in the surface's format
  SDL_Rect Shown[MaxChangedRects]{};  // what one part of a present shows, in the window's pixels
};

// The largest window side presented: X's window coordinates are signed 16-bit, and SDL's
// presenting crashes beyond them. A larger window is not presented at all until it is made
// smaller.
inline constexpr int MaxPresentedSide = 32767;

// Starts SDL's video and opens the window "Form1" at the design size on the screen's scale. On
// failure returns false with the reason in SDL_GetError(); CloseWindow undoes what was done.
// `path` asks for a way of presenting; the other one is used when it is not available.
bool OpenWindow(Window& w, PresentPath path = PresentPath::WindowPixels);
void CloseWindow(Window& w);

// The refresh rate of the window's display, 0 when it does not say.
int DisplayRefreshHz(const Window& w);

// Reads the client area's size in window coordinates and in pixels, at one moment, and returns
// its scale.
int ReadWindowSize(Window& w);
