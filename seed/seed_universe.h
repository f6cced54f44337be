#pragma once

#include "seed/random.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// Handler of a mouse-button release at (x, y) in surface units: throws the bodies away and creates
// a new random universe around the pointer or around the world origin, then switches to simulation.
// Any button seeds; the button and shift state are not used.
void SeedUniverse(World& world, Surface& surface, Timers& timers, RandomSource& random, int button,
                  int shift, float x, float y);
