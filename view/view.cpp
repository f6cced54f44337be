#include "view/view.h"

namespace {

constexpr Colour OutlineGrey = RGB(50, 50, 50);
constexpr Colour RingGrey = RGB(30, 30, 30);
constexpr float OriginRingRadius = 10;  // surface units, whatever the zoom
constexpr float CentreRingRadius = 5;

}  // namespace

// Everything is worked out in double, term by term from left to right, and only the result is
// rounded to single. The two divisions by the zoom stay separate: (wx + OffsetX) / Zoom rounds
// differently. Zoom is at least 1 while the program runs; a zero zoom divides by zero in double
// and gives infinities or NaN, which the surface clips like any other far-away coordinate.
ScreenPoint WorldToScreen(const World& world, const Surface& surface, double wx, double wy) {
  const double zoom = world.Zoom;
  const double sx = wx / zoom + static_cast<double>(ScaleWidth(surface)) / 2 + world.OffsetX / zoom;
  const double sy =
      wy / zoom + static_cast<double>(ScaleHeight(surface)) / 2 + world.OffsetY / zoom;
  return {static_cast<float>(sx), static_cast<float>(sy)};
}

// The rings take whatever fill colour is current (black after any simulation tick), so they show
// as dark grey rings.
void DrawOverlay(const World& world, Surface& surface) {
  const double zoom = world.Zoom;
  const double halfWorld = WorldHalfSize / zoom;

  Cls(surface);

  // The outline of the world square -10000..10000 under the current view.
  const double left =
      static_cast<double>(ScaleWidth(surface)) / 2 - halfWorld + world.OffsetX / zoom;
  const double top =
      static_cast<double>(ScaleHeight(surface)) / 2 - halfWorld + world.OffsetY / zoom;
  const double right =
      static_cast<double>(ScaleWidth(surface)) / 2 + halfWorld + world.OffsetX / zoom;
  const double bottom =
      static_cast<double>(ScaleHeight(surface)) / 2 + halfWorld + world.OffsetY / zoom;
  Line(surface, static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
       static_cast<float>(bottom), OutlineGrey);

  // A ring where the world origin lies.
  const double originX = world.OffsetX / zoom + static_cast<double>(ScaleWidth(surface)) / 2;
  const double originY = world.OffsetY / zoom + static_cast<double>(ScaleHeight(surface)) / 2;
  Circle(surface, static_cast<float>(originX), static_cast<float>(originY), OriginRingRadius,
         RingGrey);

  // A smaller ring at the centre of the surface.
  const double centreX = static_cast<double>(ScaleWidth(surface)) / 2;
  const double centreY = static_cast<double>(ScaleHeight(surface)) / 2;
  Circle(surface, static_cast<float>(centreX), static_cast<float>(centreY), CentreRingRadius,
         RingGrey);
}
