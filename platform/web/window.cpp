#include "platform/web/window.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>

#include "platform/web/page.h"

namespace {

// A pixel's fourth byte in memory, the canvas's alpha.
constexpr uint32_t OpaqueAlpha = 0xFF000000U;

// Row by row through plain pointers, so that the copy becomes vector code.
void CopyOpaque(Window& w, const Surface& surface, const PixelRect& rect) {
  const auto width = static_cast<size_t>(rect.Width);
  for (int y = rect.Y; y < rect.Y + rect.Height; ++y) {
    const size_t start =
        static_cast<size_t>(y) * static_cast<size_t>(surface.Width) + static_cast<size_t>(rect.X);
    const uint32_t* from = surface.Pixels.data() + start;
    uint32_t* to = w.Opaque.data() + start;
    for (size_t x = 0; x < width; ++x) {
      to[x] = from[x] | OpaqueAlpha;
    }
  }
}

}  // namespace

// The browser wakes the page once a frame, and the canvas shows all of its drawing buffer. The
// canvas's CSS box, in whole CSS pixels, is the client area.
PlatformState PlatformDescribe(Window& /*w*/) {
  double width = 0;
  double height = 0;
  emscripten_get_element_css_size(CanvasSelector, &width, &height);
  return {.WokenEachFrame = true,
          .PresentsWhole = true,
          .Width = static_cast<int>(std::lround(width)),
          .Height = static_cast<int>(std::lround(height))};
}

// The browser sends no animation frames to a page that cannot be seen.
bool PlatformShowing(Window& /*w*/) {
  return true;
}

// The canvas's drawing buffer takes the surface's size, which clears it; every rectangle of the
// surface is about to be shown on it.
void PlatformResized(Window& w, const ClientArea& /*area*/, const Surface& surface) {
  w.Opaque.resize(surface.Pixels.size());
  PageSizeCanvas(surface.Width, surface.Height);
}

// One CSS pixel is a surface unit, so the rectangles are the surface's too.
bool PlatformPresent(Window& w, const ClientArea& /*area*/, const Surface& surface,
                     const PixelRect* rects, int count) {
  if (w.Opaque.size() != surface.Pixels.size()) {
    return false;
  }
  for (int k = 0; k < count; ++k) {
    CopyOpaque(w, surface, rects[k]);
  }
  static_assert(sizeof(PixelRect) == 4 * sizeof(int), "the page reads rectangles as four ints");
  PagePutImageRects(w.Opaque.data(), surface.Width, surface.Height, &rects[0].X, count);
  return true;
}
