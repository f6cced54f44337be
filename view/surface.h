#pragma once

#include <cstddef>
#include <cstdint>

#include "view/changed_region.h"
#include "view/pixel_buffer.h"

constexpr Colour RGB(int r, int g, int b) {
  return static_cast<Colour>(r) + 256U * static_cast<Colour>(g) + 65536U * static_cast<Colour>(b);
}

inline constexpr Colour Black = RGB(0, 0, 0);
inline constexpr Colour White = RGB(255, 255, 255);

// The persistent drawing surface of the window: a 32-bit pixel buffer that keeps what is drawn on
// it until it is cleared, one pixel per surface unit (a window layer may show a unit as several
// pixels of a dense screen). Coordinates are in surface units, origin top-left, y downwards; pixel
// (px, py) covers the point (px, py) and everything that rounds to it. Anything outside is clipped,
// and any coordinate or radius (huge, infinite or NaN) is clipped before it becomes an integer.
struct Surface {
  int Width = 0;
  int Height = 0;
  PixelBuffer Pixels;  // row-major, Width * Height
  Colour Background = Black;
  Colour PenColour = Black;  // used when a drawing call gives no colour; black erases without trace
  Colour Fill = Black;       // interior of circles
  ChangedRegion Changed;     // the pixels drawn on since shown, and those since cleared
  Colour ClearedTo = Black;  // what every pixel outside the painted tiles holds
};

// From this many pixels (8 MB) a black surface is resized within its buffer when it fits, so a
// large one made smaller keeps its memory to grow back into; smaller sizes get a buffer of their
// own, and a large one is given back.
inline constexpr size_t KeepBufferFromPixels = size_t{1} << 21;

// The largest side the surface takes: far beyond any real screen, it guards against absurd window
// sizes.
inline constexpr int MaxSurfaceSide = 16384;

// Resizes the surface, keeping the pixels that still fit and filling the new area with the
// background; all of it counts as changed. Only the tiles painted since the last clear are
// copied, and black new pixels are left as the system gives them, so a huge resize costs what was
// drawn rather than the surface's area; a large black one moves its rows within its own buffer
// where that buffer is large enough. A
// side is held to MaxSurfaceSide. The only surface operation that allocates: when memory runs out,
// the surface stays exactly as it was and the result is false.
bool ResizeSurface(Surface& surface, int width, int height);

float ScaleWidth(const Surface& surface);
float ScaleHeight(const Surface& surface);

// Fills the whole surface with the background colour: only the painted tiles need it where the
// rest holds the background already.
void Cls(Surface& surface);
// Sets the colour for the interior of later circles.
void FillColor(Surface& surface, Colour colour);
// A disc: every pixel within radius of (x, y) in the fill colour, except its one-pixel rim (the
// disc's pixels with a horizontal or vertical neighbour outside it) in the outline colour.
void Circle(Surface& surface, float x, float y, float radius, Colour outline);
void Circle(Surface& surface, float x, float y, float radius);  // outline in the pen colour
// The outline of the axis-aligned box with opposite corners (x1, y1) and (x2, y2), one pixel wide
// in `colour`: its sides run along the rows and columns of the pixels the corners fall in, each
// clipped on its own, and the inside is left as it is.
void Line(Surface& surface, float x1, float y1, float x2, float y2, Colour colour);
void PSet(Surface& surface, float x, float y, Colour colour);
void PSet(Surface& surface, float x, float y);  // in the pen colour

// The pixel at (px, py), or the background outside the surface. For tests and checks: the window
// layers present straight from Pixels, by the changed rectangles.
Colour PixelAt(const Surface& surface, int px, int py);
