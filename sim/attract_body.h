#pragma once

#include "world/world.h"

// Adds the pull of every other body to body i's velocity.
void AttractBody(World& world, int i);
