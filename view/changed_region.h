#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A rectangle of the surface's units, its own pixels (which a window shows on one or more device
// pixels each): columns X..X+Width-1 and rows Y..Y+Height-1.
struct UnitRect {
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
};

// The side of the square tiles in which the changed region is kept, in pixels. A disc of the
// largest body covers a tile or four; much smaller tiles only add rectangles to upload.
inline constexpr int ChangedTileSide = 32;

// Which parts of the surface were drawn on since the window last showed them, as a grid of tiles,
// so the window uploads only those and presenting costs what moved rather than the window's area.
// It also keeps which tiles were painted at all since the surface was last cleared: everywhere
// else the surface holds its cleared colour, so clearing or resizing a huge surface only touches
// what was drawn.
struct ChangedRegion {
  int Columns = 0;  // tiles across
  int Rows = 0;     // tiles down
  int Width = 0;    // the surface's size in pixels, which the last row and column are clipped to
  int Height = 0;
  bool Any = false;            // whether any tile is to be shown
  std::vector<uint8_t> Tiles;  // row-major, Columns * Rows: TileToShow and TilePainted bits
};
inline constexpr uint8_t TileToShow = 1;
inline constexpr uint8_t TilePainted = 2;

// The rectangles one present uploads. The list is bounded: once it is full, the last rectangle
// grows to take in everything that is left, so the list always covers the whole region.
inline constexpr int MaxChangedRects = 256;
struct ChangedRects {
  int Count = 0;
  std::array<UnitRect, MaxChangedRects> Rects;
};

// A run of tiles along one row of tiles: columns First..Last.
struct TileRun {
  int First;
  int Last;
};

// The first run of tiles marked `mark` (TileToShow or TilePainted) in tile row `row` from column
// `from` on; First is Columns when there is none.
TileRun NextRun(const ChangedRegion& region, int row, int from, uint8_t mark);

// A grid for a surface of width x height pixels with everything to be shown, since the window has
// not shown any of it yet, and nothing painted. Allocates; used when the surface is resized.
ChangedRegion NewChangedRegion(int width, int height);

// Marks the pixels left..right of rows top..bottom, bounds included, clipped to the surface, as
// painted and to be shown.
void MarkChanged(ChangedRegion& region, int left, int top, int right, int bottom);
// All of the surface is to be shown again.
void MarkAllChanged(ChangedRegion& region);

// Hands out the rectangles that cover every tile to be shown, clipped to the surface, and forgets
// that they are to be shown. Runs of such tiles along a row become one rectangle, and a run that
// spans the same columns as one in the row above extends that rectangle downwards.
void TakeChangedRects(ChangedRegion& region, ChangedRects& rects);

// Hands out the rectangles, built the same way, that cover every tile painted since the last
// clear, and forgets that they were painted: for clearing the surface or leaving it for another.
void TakePaintedRects(ChangedRegion& region, ChangedRects& rects);
