#include "sim/simulation_tick.h"

#include "history/record.h"
#include "sim/attract_body.h"
#include "sim/move_and_draw_body.h"

void SimulationTick(World& world, Surface& surface, Timers& timers) {
  for (int i = 0; i < BodyCount; ++i) {
    // Erase, move and draw.
    MoveAndDrawBody(world, surface, i);

    // Attract: the new velocity first moves the body in the next tick.
    AttractBody(world, i);

    // Record, in the ticks that take a record.
    RecordBody(world, i);
  }

  AdvanceRecorder(world, surface, timers);
}
