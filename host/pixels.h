#pragma once

#include <cstddef>
#include <cstdint>

#include "view/changed_region.h"
#include "view/surface.h"

// The one rule from a window's device pixels to the surface's units, used by every window layer,
// so the same screen gives the same surface on each of them. A surface unit is 1/96 inch (a CSS
// pixel on the page). A screen's scale is counted in quarters of a device pixel per unit, since
// desktops scale by steps of a quarter: 4 is 1x, 5 is 1.25x, 6 is 1.5x, 8 is 2x. Unit u is shown
// by the device pixels from FirstPixelOfUnit(u) up to the one before FirstPixelOfUnit(u + 1), so
// at a scale that is not whole a unit is shown by a varying but whole number of pixels, never
// smoothed.
inline constexpr int Unscaled = 4;
inline constexpr int LargestScale = 16;

// The scale of a screen announced at `dpi` (X11's Xft.dpi or the monitor's, Windows' DPI), in the
// nearest quarter step. Below 1.25x the screen is taken for an unscaled one, and beyond 4x the
// figure for a mistake.
int ScaleForDpi(double dpi);

// The scale of a desktop that scales windows itself (Wayland, macOS) and gives `pixelsPerPoint`
// device pixels per window coordinate: 1x to 4x, in the nearest quarter step.
int ScaleForPixelRatio(double pixelsPerPoint);

// The unit device pixel `pixel` shows, and the first device pixel that shows unit `unit`.
constexpr int UnitOfPixel(int pixel, int scale) {
  return static_cast<int>(static_cast<int64_t>(pixel) * Unscaled / scale);
}
constexpr int FirstPixelOfUnit(int unit, int scale) {
  return static_cast<int>((static_cast<int64_t>(unit) * scale + Unscaled - 1) / Unscaled);
}

// How many surface units a client area `pixels` device pixels across shows: every pixel shows a
// unit, the last one perhaps in part, so no pixel of the window is ever left without one.
int UnitsShownOn(int pixels, int scale);

// A pointer at device pixel position `pixel` (perhaps between pixels) in surface units.
float PointerToUnits(double pixel, int scale);

// A rectangle of a window's device pixels: columns X..X+Width-1 and rows Y..Y+Height-1.
struct PixelRect {
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
};

// The device pixels that show a rectangle of surface units, and the units a rectangle of device
// pixels shows, in part or whole.
PixelRect PixelsOfUnits(const UnitRect& units, int scale);
UnitRect UnitsOfPixels(const PixelRect& pixels, int scale);

// The window's design size (StartWidth x StartHeight units) in device pixels at `scale`.
PixelRect DesignPixels(int scale);

// A colour as the blue, green, red, unused bytes of the windows' own 32-bit pixels, where the
// surface holds red, green, blue, unused.
constexpr Colour SwapRedAndBlue(Colour c) {
  return ((c & 0xFFU) << 16U) | (c & 0xFF00U) | ((c >> 16U) & 0xFFU);
}

// Fills rect.Height rows at `to`, `stride` pixels apart, with the device pixels `rect` covers at
// `scale`, each the colour of the surface unit it lies in: as the surface holds it, or with red
// and blue swapped for the windows' own pixels.
void ScaleToPixels(const Surface& surface, const PixelRect& rect, int scale, Colour* to,
                   size_t stride, bool swapRedAndBlue);
