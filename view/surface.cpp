#include "view/surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "world/wide_vectors.h"

namespace {

// A run of whole pixel indices First..Last along one row; empty when First > Last.
struct Span {
  int First;
  int Last;
};

constexpr Span EmptySpan{0, -1};

// The pixel buffer is only touched when it really holds Width x Height pixels, so a surface whose
// public fields were set by hand can never be written out of bounds.
bool SizeMatches(const Surface& surface) {
  return surface.Width >= 0 && surface.Height >= 0 &&
         surface.Pixels.size() ==
             static_cast<size_t>(surface.Width) * static_cast<size_t>(surface.Height);
}

bool HasPixels(const Surface& surface) {
  return surface.Width > 0 && surface.Height > 0 && SizeMatches(surface);
}

Colour* RowStart(Surface& surface, int py) {
  return surface.Pixels.data() + static_cast<size_t>(py) * static_cast<size_t>(surface.Width);
}

// Clamps a whole-numbered value to low..high while it is still a double, so huge and infinite
// values never reach the integer conversion. NaN must have been excluded by the caller.
int ClampToInt(double value, int low, int high) {
  if (value <= low) {
    return low;
  }
  if (value >= high) {
    return high;
  }
  return static_cast<int>(value);
}

// The pixel a coordinate falls in: the coordinate rounded to nearest, ties to even.
double PixelOf(float coordinate) {
  return std::nearbyint(static_cast<double>(coordinate));
}

// Paints pixels first..last of row py, both whole-numbered doubles, clipped to the surface.
void PaintRow(Surface& surface, double py, double first, double last, Colour colour) {
  if (py < 0 || py > surface.Height - 1 || last < 0 || first > surface.Width - 1) {
    return;
  }
  const int row = ClampToInt(py, 0, surface.Height - 1);
  const int left = ClampToInt(first, 0, surface.Width - 1);
  const int right = ClampToInt(last, 0, surface.Width - 1);
  std::fill(RowStart(surface, row) + left, RowStart(surface, row) + right + 1, colour);
  MarkChanged(surface.Changed, left, row, right, row);
}

// Paints pixels first..last of column px, clipped to the surface.
void PaintColumn(Surface& surface, double px, double first, double last, Colour colour) {
  if (px < 0 || px > surface.Width - 1 || last < 0 || first > surface.Height - 1) {
    return;
  }
  const int column = ClampToInt(px, 0, surface.Width - 1);
  const int top = ClampToInt(first, 0, surface.Height - 1);
  const int bottom = ClampToInt(last, 0, surface.Height - 1);
  for (int py = top; py <= bottom; ++py) {
    RowStart(surface, py)[column] = colour;
  }
  MarkChanged(surface.Changed, column, top, column, bottom);
}

// A disc's rows are worked out a batch at a time: the square roots and roundings of a batch wait
// on nothing but the disc, so they run side by side, several to an instruction where the
// processor has wider vector instructions. A batch holds every row of the largest disc a universe
// draws, with the row above and the row below.
constexpr size_t BatchRows = 16;

// The ends of the disc's pixels on a batch of rows, as whole-numbered doubles.
struct RowEnds {
  std::array<double, BatchRows> First;
  std::array<double, BatchRows> Last;
};

// The disc's pixels on rows top..top + count - 1 (count at most BatchRows): on row py those whose
// centres lie within radius of (x, y), that is ceil(x - w)..floor(x + w) with w = sqrt(radius^2 -
// dy^2). This is the one definition of the disc: the fill and the rim are both read from it. On a
// row the disc misses, the square root of a negative number is NaN, and so are both ends.
[[gnu::always_inline]] inline void WorkOutDiscRows(double x, double y, double radius, int top,
                                                   size_t count, RowEnds& ends) {
  count = std::min(count, BatchRows);
  for (size_t k = 0; k < count; ++k) {
    const double dy = (top + static_cast<int>(k)) - y;
    const double w = std::sqrt(radius * radius - dy * dy);
    ends.First[k] = std::ceil(x - w);
    ends.Last[k] = std::floor(x + w);
  }
}

WIDE_VECTORS void DiscRowsBuild(double x, double y, double radius, int top, size_t count,
                                RowEnds& ends) {
  WorkOutDiscRows(x, y, radius, top, count, ends);
}

#if defined(PICKS_WIDEST_BUILD)
WIDE_AVX512 void DiscRowsAvx512(double x, double y, double radius, int top, size_t count,
                                RowEnds& ends) {
  WorkOutDiscRows(x, y, radius, top, count, ends);
}

WIDE_AVX2 void DiscRowsAvx2(double x, double y, double radius, int top, size_t count,
                            RowEnds& ends) {
  WorkOutDiscRows(x, y, radius, top, count, ends);
}
#endif

void DiscRows(double x, double y, double radius, int top, size_t count, RowEnds& ends) {
#if defined(PICKS_WIDEST_BUILD)
  static const auto build = WidestBuild(&DiscRowsBuild, &DiscRowsAvx2, &DiscRowsAvx512);
  build(x, y, radius, top, count, ends);
#else
  DiscRowsBuild(x, y, radius, top, count, ends);
#endif
}

// Row k of the batch as a span: empty unless its ends are ordered numbers (which also refuses the
// NaN of a row the disc misses, or of an infinite radius at an infinite centre). The ends are
// clamped to -1..width, one pixel beyond either side, so a visible pixel is at an end of the
// clamped span exactly when it is at an end of the true one, and lies inside it exactly when it
// lies inside the true one.
Span DiscRow(const RowEnds& ends, size_t k, int width) {
  if (!(ends.First[k] <= ends.Last[k])) {
    return EmptySpan;
  }
  return {ClampToInt(ends.First[k], -1, width), ClampToInt(ends.Last[k], -1, width)};
}

// Paints the part of first..last of a row that is not covered by the neighbouring row's span.
void PaintUncovered(Colour* row, int first, int last, Span neighbour, Colour colour) {
  if (neighbour.First > neighbour.Last) {
    std::fill(row + first, row + last + 1, colour);
    return;
  }
  const int leftEnd = std::min(last, neighbour.First - 1);
  if (first <= leftEnd) {
    std::fill(row + first, row + leftEnd + 1, colour);
  }
  const int rightStart = std::max(first, neighbour.Last + 1);
  if (rightStart <= last) {
    std::fill(row + rightStart, row + last + 1, colour);
  }
}

// One row of a disc: the fill colour inside, the outline colour on the pixels with a horizontal or
// vertical neighbour outside the disc: the two ends of the row and whatever the rows above and
// below do not cover. Together these make a closed ring one pixel thick. Returns the columns
// painted.
Span PaintDiscRow(Surface& surface, int py, Span row, Span above, Span below, Colour outline) {
  const int first = std::max(row.First, 0);
  const int last = std::min(row.Last, surface.Width - 1);
  if (first > last) {
    return EmptySpan;
  }
  Colour* pixels = RowStart(surface, py);
  std::fill(pixels + first, pixels + last + 1, surface.Fill);
  PaintUncovered(pixels, first, last, above, outline);
  PaintUncovered(pixels, first, last, below, outline);
  if (row.First == first) {
    pixels[first] = outline;
  }
  if (row.Last == last) {
    pixels[last] = outline;
  }
  return {first, last};
}

// Fills the rectangles, which lie within the surface, with one colour; marks nothing.
void FillRects(Surface& surface, const ChangedRects& rects, Colour colour) {
  for (int i = 0; i < rects.Count; ++i) {
    const UnitRect& rect = rects.Rects[static_cast<size_t>(i)];
    for (int py = rect.Y; py < rect.Y + rect.Height; ++py) {
      std::fill_n(RowStart(surface, py) + rect.X, rect.Width, colour);
    }
  }
}

// The runs of painted tiles along one row of tiles, as the pixel columns they cover.
struct PaintedRuns {
  int Count = 0;
  std::array<Span, (MaxSurfaceSide / ChangedTileSide + 1) / 2> Runs{};
};

void FindPaintedRuns(const ChangedRegion& region, int tileRow, PaintedRuns& runs) {
  runs.Count = 0;
  for (TileRun run = NextRun(region, tileRow, 0, TilePainted); run.First < region.Columns;
       run = NextRun(region, tileRow, run.Last + 1, TilePainted)) {
    runs.Runs[static_cast<size_t>(runs.Count++)] = {
        run.First * ChangedTileSide, std::min((run.Last + 1) * ChangedTileSide, region.Width) - 1};
  }
}

// Moves the painted runs of row py from its place in rows of `from` pixels to its place in rows of
// `to` pixels, within the one buffer, keeping `kept` pixels of each (none for a row cut off), and
// blacks out what they leave behind. The runs go in the order that reads each before anything is
// written over it: from the right when the row moves towards the end of the buffer.
void MoveRow(Colour* pixels, int py, int from, int to, int kept, const PaintedRuns& runs) {
  const size_t oldStart = static_cast<size_t>(py) * static_cast<size_t>(from);
  const size_t newStart = static_cast<size_t>(py) * static_cast<size_t>(to);
  const bool fromTheRight = newStart > oldStart;
  for (int k = 0; k < runs.Count; ++k) {
    const Span run = runs.Runs[static_cast<size_t>(fromTheRight ? runs.Count - 1 - k : k)];
    const size_t source = oldStart + static_cast<size_t>(run.First);
    const size_t end = oldStart + static_cast<size_t>(run.Last) + 1;
    const size_t target = newStart + static_cast<size_t>(run.First);
    const size_t moved =
        static_cast<size_t>(std::clamp(kept - run.First, 0, run.Last - run.First + 1));
    std::memmove(pixels + target, pixels + source, moved * sizeof(Colour));
    // The run's old place, less its new one.
    std::fill(pixels + source, pixels + std::max(source, std::min(end, target)), Black);
    std::fill(pixels + std::min(end, std::max(source, target + moved)), pixels + end, Black);
  }
}

// Resizes a large black surface within its own buffer, which holds enough pixels: the rows are
// moved in place rather than copied into fresh memory, which some systems hand out slowly. Rows
// that move towards the end of the buffer go from the bottom up, the others from the top down, so
// every row is read before another is written over it; outside the painted tiles all is black
// already.
void ResizeInPlace(Surface& surface, int width, int height, ChangedRegion& resized) {
  const ChangedRegion& old = surface.Changed;
  const int keptWidth = std::min(width, surface.Width);
  const int keptHeight = std::min(height, surface.Height);
  const bool fromTheBottom = width > surface.Width;
  PaintedRuns runs;
  for (int k = 0; k < old.Rows; ++k) {
    const int tileRow = fromTheBottom ? old.Rows - 1 - k : k;
    FindPaintedRuns(old, tileRow, runs);
    const int top = tileRow * ChangedTileSide;
    const int bottom = std::min(top + ChangedTileSide, surface.Height) - 1;
    for (int j = 0; j <= bottom - top; ++j) {
      const int py = fromTheBottom ? bottom - j : top + j;
      MoveRow(surface.Pixels.data(), py, surface.Width, width, py < keptHeight ? keptWidth : 0,
              runs);
    }
    for (int r = 0; r < runs.Count; ++r) {
      const Span run = runs.Runs[static_cast<size_t>(r)];
      MarkChanged(resized, run.First, top, std::min(run.Last, keptWidth - 1),
                  std::min(bottom, keptHeight - 1));
    }
  }
  surface.Pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
}

}  // namespace

bool ResizeSurface(Surface& surface, int width, int height) {
  width = std::clamp(width, 0, MaxSurfaceSide);
  height = std::clamp(height, 0, MaxSurfaceSide);
  if (width == surface.Width && height == surface.Height && SizeMatches(surface)) {
    return true;
  }
  // Both allocations come before anything changes, so running out of memory leaves the surface
  // exactly as it was.
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  const bool inPlace = count >= KeepBufferFromPixels && count <= surface.Pixels.capacity() &&
                       HasPixels(surface) && surface.ClearedTo == Black &&
                       surface.Background == Black;
  Surface resized;
  try {
    resized.Changed = NewChangedRegion(width, height);
    if (!inPlace) {
      resized.Pixels = PixelBuffer(count);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (inPlace) {
    ResizeInPlace(surface, width, height, resized.Changed);
    surface.Changed = std::move(resized.Changed);
    surface.Width = width;
    surface.Height = height;
    return true;
  }
  resized.Width = width;
  resized.Height = height;
  // New pixels are black as they come; another background is painted in.
  if (surface.Background != Black) {
    std::fill(resized.Pixels.begin(), resized.Pixels.end(), surface.Background);
    resized.ClearedTo = surface.Background;
  }

  // The picture stays anchored at the top-left corner. Where the old surface was cleared to what
  // the new one holds, only its painted tiles need copying; otherwise all of what is kept.
  if (HasPixels(surface)) {
    ChangedRects copied;
    TakePaintedRects(surface.Changed, copied);
    const UnitRect kept{0, 0, std::min(width, surface.Width), std::min(height, surface.Height)};
    if (surface.ClearedTo != resized.ClearedTo) {
      copied.Count = 1;
      copied.Rects[0] = kept;
    }
    for (int i = 0; i < copied.Count; ++i) {
      const UnitRect& rect = copied.Rects[static_cast<size_t>(i)];
      const int right = std::min(rect.X + rect.Width, kept.Width);
      const int bottom = std::min(rect.Y + rect.Height, kept.Height);
      for (int py = rect.Y; py < bottom && rect.X < right; ++py) {
        const Colour* from = RowStart(surface, py);
        std::copy(from + rect.X, from + right, RowStart(resized, py) + rect.X);
      }
      MarkChanged(resized.Changed, rect.X, rect.Y, right - 1, bottom - 1);
    }
  }
  surface.Pixels = std::move(resized.Pixels);
  surface.Changed = std::move(resized.Changed);
  surface.Width = width;
  surface.Height = height;
  surface.ClearedTo = resized.ClearedTo;
  return true;
}

float ScaleWidth(const Surface& surface) {
  return static_cast<float>(surface.Width);
}

float ScaleHeight(const Surface& surface) {
  return static_cast<float>(surface.Height);
}

void Cls(Surface& surface) {
  if (HasPixels(surface)) {
    // Outside the painted tiles the surface holds what it was cleared to: where that is the
    // background, only the painted tiles need painting over.
    ChangedRects painted;
    TakePaintedRects(surface.Changed, painted);
    if (surface.ClearedTo != surface.Background) {
      painted.Count = 1;
      painted.Rects[0] = {0, 0, surface.Width, surface.Height};
      surface.ClearedTo = surface.Background;
    }
    FillRects(surface, painted, surface.Background);
  }
  MarkAllChanged(surface.Changed);
}

void FillColor(Surface& surface, Colour colour) {
  surface.Fill = colour;
}

void Circle(Surface& surface, float x, float y, float radius, Colour outline) {
  if (!HasPixels(surface) || std::isnan(x) || std::isnan(y) || !(radius >= 0)) {
    return;
  }
  const double cx = x;
  const double cy = y;
  const double r = radius;
  // Only the rows that can meet both the disc and the surface are visited, so a disc far away
  // costs nothing and a huge one costs the visible rows. One spare row on each side lets the
  // row spans alone decide where the disc begins and ends.
  const double top = std::ceil(cy - r) - 1;
  const double bottom = std::floor(cy + r) + 1;
  if (!(top <= bottom) || bottom < 0 || top > surface.Height - 1) {
    return;
  }
  const int firstRow = ClampToInt(top, 0, surface.Height - 1);
  const int lastRow = ClampToInt(bottom, 0, surface.Height - 1);
  // Each batch paints up to BatchRows - 2 rows, from row py, and holds the rows beside them.
  constexpr int PaintedRows = static_cast<int>(BatchRows) - 2;
  // Every row is worked out before it is read; clearing the batch for every disc costs the page.
  RowEnds ends;                        // NOLINT(cppcoreguidelines-pro-type-member-init)
  Span painted = {surface.Width, -1};  // the columns painted on any row
  for (int py = firstRow; py <= lastRow; py += PaintedRows) {
    const int rows = std::min(PaintedRows, lastRow - py + 1);
    DiscRows(cx, cy, r, py - 1, static_cast<size_t>(rows) + 2, ends);
    Span above = DiscRow(ends, 0, surface.Width);
    Span row = DiscRow(ends, 1, surface.Width);
    for (int k = 1; k <= rows; ++k) {
      const Span below = DiscRow(ends, static_cast<size_t>(k) + 1, surface.Width);
      const Span columns = PaintDiscRow(surface, py - 1 + k, row, above, below, outline);
      if (columns.First <= columns.Last) {
        painted = {std::min(painted.First, columns.First), std::max(painted.Last, columns.Last)};
      }
      above = row;
      row = below;
    }
  }
  MarkChanged(surface.Changed, painted.First, firstRow, painted.Last, lastRow);
}

void Circle(Surface& surface, float x, float y, float radius) {
  Circle(surface, x, y, radius, surface.PenColour);
}

void Line(Surface& surface, float x1, float y1, float x2, float y2, Colour colour) {
  if (!HasPixels(surface) || std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
    return;
  }
  const double left = std::min(PixelOf(x1), PixelOf(x2));
  const double right = std::max(PixelOf(x1), PixelOf(x2));
  const double top = std::min(PixelOf(y1), PixelOf(y2));
  const double bottom = std::max(PixelOf(y1), PixelOf(y2));
  PaintRow(surface, top, left, right, colour);
  PaintRow(surface, bottom, left, right, colour);
  PaintColumn(surface, left, top, bottom, colour);
  PaintColumn(surface, right, top, bottom, colour);
}

void PSet(Surface& surface, float x, float y, Colour colour) {
  if (!HasPixels(surface) || std::isnan(x) || std::isnan(y)) {
    return;
  }
  const double px = PixelOf(x);
  PaintRow(surface, PixelOf(y), px, px, colour);
}

void PSet(Surface& surface, float x, float y) {
  PSet(surface, x, y, surface.PenColour);
}

Colour PixelAt(const Surface& surface, int px, int py) {
  if (!HasPixels(surface) || px < 0 || py < 0 || px >= surface.Width || py >= surface.Height) {
    return surface.Background;
  }
  return surface.Pixels[static_cast<size_t>(py) * static_cast<size_t>(surface.Width) +
                        static_cast<size_t>(px)];
}
