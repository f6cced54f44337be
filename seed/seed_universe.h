#pragma once

#include "seed/random.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// A turn and a quarter turn in degrees. A seeding's angles are a draw times FullTurn and, for a
// swirl, that plus QuarterTurn, both in single precision.
inline constexpr float FullTurn = 360.0F;
inline constexpr float QuarterTurn = 90.0F;

// An angle of the seeding in radians: the single widened to double and turned into radians there.
double Radians(float degrees);

// Handler of a mouse-button release at (x, y) in surface units: throws the bodies away and creates
// a new random universe, then switches to simulation. The bodies lie either in a ring around the
// world point (x - ScaleWidth/2 - OffsetX) x Zoom, which is the point under the pointer only at
// zoom 1 or with the view unshifted, or spread over a surface-sized area around the world origin.
// Any button seeds; the button and shift state are not used.
void SeedUniverse(World& world, Surface& surface, Timers& timers, RandomSource& random, int button,
                  int shift, float x, float y);
