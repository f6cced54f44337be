#include "host/pixels.h"

#include <algorithm>
#include <cmath>

namespace {

// The density a surface unit is meant for.
constexpr double DesignDpi = 96;
// Below this many quarters a reported density is taken for an unscaled screen.
constexpr int SmallestScale = 5;

}  // namespace

int ScaleForDpi(double dpi) {
  if (!(dpi > 0)) {
    return Unscaled;
  }
  const double quarters = std::round(dpi / DesignDpi * Unscaled);
  if (quarters < SmallestScale || quarters > LargestScale) {
    return Unscaled;
  }
  return static_cast<int>(quarters);
}

int ScaleForPixelRatio(double pixelsPerPoint) {
  if (!(pixelsPerPoint > 0)) {
    return Unscaled;
  }
  const double quarters = std::round(pixelsPerPoint * Unscaled);
  return static_cast<int>(std::clamp(quarters, double{Unscaled}, double{LargestScale}));
}

int UnitsShownOn(int pixels, int scale) {
  return pixels > 0 ? UnitOfPixel(pixels - 1, scale) + 1 : 0;
}

float PointerToUnits(double pixel, int scale) {
  return static_cast<float>(pixel * Unscaled / scale);
}

PixelRect PixelsOfUnits(const UnitRect& units, int scale) {
  const int left = FirstPixelOfUnit(units.X, scale);
  const int top = FirstPixelOfUnit(units.Y, scale);
  return {left, top, FirstPixelOfUnit(units.X + units.Width, scale) - left,
          FirstPixelOfUnit(units.Y + units.Height, scale) - top};
}
