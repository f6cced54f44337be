#include "host/pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "program/program.h"

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

UnitRect UnitsOfPixels(const PixelRect& pixels, int scale) {
  if (pixels.Width <= 0 || pixels.Height <= 0) {
    return {UnitOfPixel(pixels.X, scale), UnitOfPixel(pixels.Y, scale), 0, 0};
  }
  const int left = UnitOfPixel(pixels.X, scale);
  const int top = UnitOfPixel(pixels.Y, scale);
  return {left, top, UnitOfPixel(pixels.X + pixels.Width - 1, scale) - left + 1,
          UnitOfPixel(pixels.Y + pixels.Height - 1, scale) - top + 1};
}

PixelRect DesignPixels(int scale) {
  return PixelsOfUnits({0, 0, StartWidth, StartHeight}, scale);
}

void ScaleToPixels(const Surface& surface, const PixelRect& rect, int scale, Colour* to,
                   size_t stride, bool swapRedAndBlue) {
  const auto surfaceStride = static_cast<size_t>(surface.Width);
  const auto width = static_cast<size_t>(rect.Width);
  int previousUnitRow = -1;
  for (int row = 0; row < rect.Height; ++row, to += stride) {
    const int unitRow = UnitOfPixel(rect.Y + row, scale);
    const Colour* from = surface.Pixels.data() + static_cast<size_t>(unitRow) * surfaceStride;
    // A row that shows the same units as the row above is a copy of it; unscaled, a row of units.
    if (unitRow == previousUnitRow || (scale == Unscaled && !swapRedAndBlue)) {
      const Colour* same = unitRow == previousUnitRow ? to - stride : from + rect.X;
      std::memcpy(to, same, width * sizeof(Colour));
    } else if (scale == Unscaled) {
      std::transform(from + rect.X, from + rect.X + rect.Width, to, SwapRedAndBlue);
    } else {
      // Along the row, the unit steps on at each unit's first pixel: no division per pixel.
      int unit = UnitOfPixel(rect.X, scale);
      int nextUnitAt = FirstPixelOfUnit(unit + 1, scale);
      for (int x = 0; x < rect.Width; ++x) {
        if (rect.X + x == nextUnitAt) {
          ++unit;
          nextUnitAt = FirstPixelOfUnit(unit + 1, scale);
        }
        const Colour colour = from[static_cast<size_t>(unit)];
        to[x] = swapRedAndBlue ? SwapRedAndBlue(colour) : colour;
      }
    }
    previousUnitRow = unitRow;
  }
}
