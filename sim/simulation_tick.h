#pragma once

#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// Handler of timer t: erases, moves, draws, attracts and records every body, then advances the
// recorder.
void SimulationTick(World& world, Surface& surface, Timers& timers);
