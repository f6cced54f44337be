#pragma once

#include "seed/random.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// Handler of a mouse-button release at (x, y) in surface units: throws the bodies away and creates
// a new random universe, then switches to simulation. The bodies lie either in a ring around the
// world point (x - ScaleWidth/2 - OffsetX) x Zoom, which is the point under the pointer only at
// zoom 1 or with the view unshifted, or spread over a surface-sized area around the world origin.
// Any button seeds; the button and shift state are not used.
void SeedUniverse(World& world, Surface& surface, Timers& timers, RandomSource& random, int button,
                  int shift, float x, float y);
