#pragma once

#include "view/surface.h"
#include "world/world.h"

struct ScreenPoint {
  float X;
  float Y;
};

// Maps world units to surface units: the world origin sits at the surface centre, shifted by the
// view offset and shrunk by the zoom divisor. Reads the surface size afresh at every call.
ScreenPoint WorldToScreen(const World& world, const Surface& surface, double wx, double wy);

// Clears the surface and draws the world outline, the ring at the world origin and the ring at the
// surface centre under the current view.
void DrawOverlay(const World& world, Surface& surface);
