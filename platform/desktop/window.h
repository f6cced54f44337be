#pragma once

#include <SDL2/SDL_rect.h>
#include <SDL2/SDL_render.h>
#include <SDL2/SDL_surface.h>
#include <SDL2/SDL_video.h>

#include <cstdint>

#include "view/changed_region.h"
#include "view/surface.h"
#include "view/view.h"

// How the window's picture reaches the screen.
enum class PresentPath {
  // The surface's changed rectangles are copied into the window's own pixel buffer, which SDL
  // hands to the display: the cheapest way wherever SDL offers such a buffer for the window.
  WindowPixels,
  // Where it does not (a 30-bit X screen, Wayland), an SDL renderer: the changed rectangles are
  // uploaded into a streaming texture, which is drawn and presented whole.
  Renderer,
};

// The window `w`: an SDL window whose client area shows the program's surface from the top-left
// corner. A surface unit is 1/96 inch: on a screen of scale s each unit is shown as an s x s block
// of device pixels (nearest neighbour, so the picture stays crisp), and at scale 1 pixel for pixel.
struct Window {
  SDL_Window* Sdl = nullptr;
  PresentPath Path = PresentPath::WindowPixels;
  SDL_Surface* Target = nullptr;  // the window's pixels; SDL replaces them after a resize
  SDL_Surface* Source = nullptr;  // the program's surface seen by SDL, sharing its pixels
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;  // the renderer's copy of the surface
  int TextureWidth = 0;            // at most the surface's size, and what the renderer allows
  int TextureHeight = 0;
  // The client area in window coordinates and in pixels, both read at the same moment, so the
  // mouse maps with one consistent pair even while a resize is on its way.
  SDL_Point PointSize{0, 0};
  SDL_Point PixelSize{0, 0};
  // The scale in quarters (4 at 1x, 5 at 1.25x, 8 at 2x): a desktop that scales windows itself
  // says it by giving more pixels than window coordinates; X11 only announces a density, which is
  // read once when the window opens (AnnouncedScale).
  int Scale = 4;
  int AnnouncedScale = 4;
  SDL_Surface* Staging = nullptr;  // at scales other than 1, a band of scaled pixels on its way
  ChangedRects Changed;            // what one present uploads
  int64_t UploadedPixels = 0;      // counted for the measuring build
  SDL_Rect Uploaded[MaxChangedRects]{};  // the same in the window's pixels, clipped to them
  int UploadCount = 0;                   // how many of those this present shows
  int NextUpload = 0;                    // the first not yet shown, perhaps in part
  SDL_Rect Parts[MaxChangedRects]{};     // what one part of the present shows
};

inline constexpr char Caption[] = "Form1";
// The client area when the window opens, in surface units; on a scaled desktop it is that many
// window coordinates (each several pixels) or, where the desktop only announces its density, that
// many times the scale in pixels, so the window keeps its size on the screen.
inline constexpr int StartWidth = 626;
inline constexpr int StartHeight = 549;
// The largest window side presented: X's window coordinates are signed 16-bit, and SDL's
// presenting crashes beyond them. A larger window is not presented at all; one larger than the
// surface is presented in part, from the top-left corner, with black beside it.
inline constexpr int MaxPresentedSide = 32767;

// Starts SDL's video, opens the window with a black client area and sizes `surface` to it. On
// failure returns false with the reason in SDL_GetError(); CloseWindow undoes what was done.
// `path` asks for a way of presenting; the other one is used when it is not available.
bool OpenWindow(Window& w, Surface& surface, PresentPath path = PresentPath::WindowPixels);
void CloseWindow(Window& w);

// Sizes `surface` to the window's client area in surface units (its pixels divided by the scale,
// rounded up so that every pixel shows a unit), keeping what is drawn on it, and marks all of it to
// be shown again. Only allocates when the size really changed; when memory runs out the old
// surface stays, shown in part or with black beside it.
void MatchSurfaceToWindow(Window& w, Surface& surface);

// The window's pixels are shown in parts of at most this many device pixels, so a large present (a
// whole huge window after a click) never holds the timers up for long: they run between the parts.
inline constexpr int64_t UploadBudget = 128 * 1024;

// Shows what changed on the surface since the last present, or the first part of it. Returns
// false when there was nothing to show it on; what changed is then kept for the next present.
bool PresentSurface(Window& w, Surface& surface);
// Whether parts of a present are still to be shown, and showing the next one. A resize or a new
// present drops the rest, having marked it to be shown again.
bool PresentUnderWay(const Window& w);
bool ContinuePresent(Window& w, Surface& surface);

// Whether the window can be seen at all: not minimised and not hidden.
bool WindowIsShowing(const Window& w);

// Turns a mouse position in window coordinates into surface units (they differ on dense screens,
// where a unit spans several pixels and a window coordinate may too).
ScreenPoint MouseToSurface(const Window& w, int x, int y);

// The scale's mapping between device pixels and surface units, `scale` in quarters: device pixel d
// shows unit UnitOfPixel(d), and unit u is shown from pixel FirstPixelOfUnit(u) up to the pixel
// before FirstPixelOfUnit(u + 1).
constexpr int UnitOfPixel(int pixel, int scale) {
  return static_cast<int>(static_cast<int64_t>(pixel) * 4 / scale);
}
constexpr int FirstPixelOfUnit(int unit, int scale) {
  return static_cast<int>((static_cast<int64_t>(unit) * scale + 3) / 4);
}
