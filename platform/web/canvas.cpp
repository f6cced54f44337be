#include "platform/web/canvas.h"

#include <algorithm>

#include "platform/web/page.h"

namespace {

// A pixel's fourth byte in memory, the canvas's alpha.
constexpr uint32_t OpaqueAlpha = 0xFF000000U;

void CopyOpaque(Canvas& canvas, const Surface& surface, const PixelRect& rect) {
  for (int y = rect.Y; y < rect.Y + rect.Height; ++y) {
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(surface.Width);
    for (int x = rect.X; x < rect.X + rect.Width; ++x) {
      canvas.Opaque[row + x] = surface.Pixels[row + x] | OpaqueAlpha;
    }
  }
}

}  // namespace

void ResizeCanvas(Canvas& canvas, Program& program, int width, int height) {
  ResizeProgram(program, std::max(width, 1), std::max(height, 1));
  MarkAllToShow(program);
  canvas.Opaque.assign(program.surface.Pixels.size(), OpaqueAlpha);
}

bool PresentSurface(Canvas& canvas, Program& program) {
  if (!HasChanges(program)) {
    return false;
  }
  const Surface& surface = program.surface;
  TakeChanges(program, canvas.Rects);
  for (int k = 0; k < canvas.Rects.Count; ++k) {
    CopyOpaque(canvas, surface, canvas.Rects.Rects[k]);
  }
  static_assert(sizeof(PixelRect) == 4 * sizeof(int), "the page reads rectangles as four ints");
  PagePutImageRects(canvas.Opaque.data(), surface.Width, surface.Height, &canvas.Rects.Rects[0].X,
                    canvas.Rects.Count);
  return true;
}
