#pragma once

#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// Stores body i's rounded position into the current history slot, in the tick that takes a record.
void RecordBody(World& world, int i);

// Counts down to the next record after every tick; switches to playback once the history is full.
void AdvanceRecorder(World& world, Surface& surface, Timers& timers);
