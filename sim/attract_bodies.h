#pragma once

#include "world/world.h"

// Adds the pull of every other body to every body's velocity, to the last bit as AttractBody for
// bodies 0..80 in turn within a tick, once every body has been moved: body i feels the bodies
// before it where they are now and the bodies after it where they were before this tick's moves
// (oldX, oldY).
void AttractBodies(World& world, const BodyDoubles& oldX, const BodyDoubles& oldY);
