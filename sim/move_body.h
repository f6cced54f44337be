#pragma once

#include "world/world.h"

// Advances body i by its velocity and folds it back into the world: bodies leaving the right edge
// re-enter on the left, those leaving the top re-enter at the bottom.
void MoveBody(World& world, int i);
