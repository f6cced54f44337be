#include "view/changed_region.h"

#include <algorithm>
#include <cstddef>

namespace {

int TilesFor(int pixels) {
  return pixels <= 0 ? 0 : (pixels - 1) / ChangedTileSide + 1;
}

uint8_t* TileRow(ChangedRegion& region, int row) {
  return region.Tiles.data() + static_cast<size_t>(row) * static_cast<size_t>(region.Columns);
}

// Adds the run of tiles first..last of tile row `row` to the list.
void AddRun(ChangedRects& rects, const ChangedRegion& region, int row, int first, int last) {
  const int x = first * ChangedTileSide;
  const int y = row * ChangedTileSide;
  const int width = std::min((last + 1) * ChangedTileSide, region.Width) - x;
  const int height = std::min(y + ChangedTileSide, region.Height) - y;

  // A rectangle that ends just above this run and spans the same columns grows down over it.
  for (int i = 0; i < rects.Count; ++i) {
    UnitRect& above = rects.Rects[static_cast<size_t>(i)];
    if (above.X == x && above.Width == width && above.Y + above.Height == y) {
      above.Height += height;
      return;
    }
  }
  if (rects.Count < MaxChangedRects) {
    rects.Rects[static_cast<size_t>(rects.Count++)] = {x, y, width, height};
    return;
  }
  // The list is full: the last rectangle becomes the box around itself and this run.
  UnitRect& spill = rects.Rects[MaxChangedRects - 1];
  const int left = std::min(spill.X, x);
  const int top = std::min(spill.Y, y);
  const int right = std::max(spill.X + spill.Width, x + width);
  const int bottom = std::max(spill.Y + spill.Height, y + height);
  spill = {left, top, right - left, bottom - top};
}

// Lists the runs of tiles that have `mark` as rectangles, and takes the mark off them. Runs along
// a row become one rectangle, and a run that spans the same columns as one in the row above
// extends that rectangle downwards.
void TakeRuns(ChangedRegion& region, uint8_t mark, ChangedRects& rects) {
  for (int row = 0; row < region.Rows; ++row) {
    uint8_t* tiles = TileRow(region, row);
    for (TileRun run = NextRun(region, row, 0, mark); run.First < region.Columns;
         run = NextRun(region, row, run.Last + 1, mark)) {
      for (int column = run.First; column <= run.Last; ++column) {
        tiles[column] &= static_cast<uint8_t>(~mark);
      }
      AddRun(rects, region, row, run.First, run.Last);
    }
  }
}

}  // namespace

TileRun NextRun(const ChangedRegion& region, int row, int from, uint8_t mark) {
  const uint8_t* tiles =
      region.Tiles.data() + static_cast<size_t>(row) * static_cast<size_t>(region.Columns);
  int first = from;
  while (first < region.Columns && (tiles[first] & mark) == 0) {
    ++first;
  }
  int last = first;
  while (last + 1 < region.Columns && (tiles[last + 1] & mark) != 0) {
    ++last;
  }
  return {first, last};
}

ChangedRegion NewChangedRegion(int width, int height) {
  ChangedRegion region;
  region.Width = std::max(width, 0);
  region.Height = std::max(height, 0);
  region.Columns = TilesFor(region.Width);
  region.Rows = TilesFor(region.Height);
  region.Tiles.assign(static_cast<size_t>(region.Columns) * static_cast<size_t>(region.Rows),
                      TileToShow);
  region.Any = !region.Tiles.empty();
  return region;
}

void MarkChanged(ChangedRegion& region, int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, region.Width - 1);
  bottom = std::min(bottom, region.Height - 1);
  if (left > right || top > bottom) {
    return;
  }
  const int firstColumn = left / ChangedTileSide;
  const int lastColumn = right / ChangedTileSide;
  for (int row = top / ChangedTileSide; row <= bottom / ChangedTileSide; ++row) {
    uint8_t* tiles = TileRow(region, row);
    std::fill(tiles + firstColumn, tiles + lastColumn + 1, uint8_t{TileToShow | TilePainted});
  }
  region.Any = true;
}

void MarkAllChanged(ChangedRegion& region) {
  for (uint8_t& tile : region.Tiles) {
    tile |= TileToShow;
  }
  region.Any = !region.Tiles.empty();
}

void TakeChangedRects(ChangedRegion& region, ChangedRects& rects) {
  rects.Count = 0;
  if (region.Any) {
    TakeRuns(region, TileToShow, rects);
  }
  region.Any = false;
}

void TakePaintedRects(ChangedRegion& region, ChangedRects& rects) {
  rects.Count = 0;
  TakeRuns(region, TilePainted, rects);
}
