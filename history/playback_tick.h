#pragma once

#include "view/surface.h"
#include "world/world.h"

// Handler of timer h: shows the next recorded frame and erases the marks of the previous one.
void PlaybackTick(World& world, Surface& surface);
