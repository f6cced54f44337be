#pragma once

// Small helpers shared by the unit tests.

#include <algorithm>
#include <memory>

#include "view/surface.h"
#include "world/world.h"

// The World holds about 1.5 MB of history, too much for a test's stack; this one has just loaded.
inline std::unique_ptr<World> NewWorld() {
  auto world = std::make_unique<World>();
  StartUp(*world);
  return world;
}

inline Surface MakeSurface(int width, int height) {
  Surface surface;
  ResizeSurface(surface, width, height);
  return surface;
}

inline int CountPixels(const Surface& surface, Colour colour) {
  int count = 0;
  for (const Colour pixel : surface.Pixels) {
    count += pixel == colour ? 1 : 0;
  }
  return count;
}

// Paints every pixel by hand and marks it drawn, as the drawing operations do, so that clearing
// knows to clear it.
inline void PaintAll(Surface& surface, Colour colour) {
  std::fill(surface.Pixels.begin(), surface.Pixels.end(), colour);
  MarkChanged(surface.Changed, 0, 0, surface.Width - 1, surface.Height - 1);
}
