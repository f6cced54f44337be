#pragma once

#include "view/surface.h"
#include "world/world.h"

// Body i's turn on the surface in a tick: erases its disc where it was (when erasing is on), moves
// it and draws it where it is now. Leaves the fill colour black.
void MoveAndDrawBody(World& world, Surface& surface, int i);
