#include "sim/simulation_tick.h"

#include "history/record.h"
#include "sim/attract_bodies.h"
#include "sim/move_and_draw_body.h"

// The tick gives exactly the results of taking each body in turn through erase, move, draw,
// attract and record. A body's velocity changes only in its own attraction, after its move, so
// every move of the tick is known before the first attraction, and attraction neither draws nor
// changes a position; the phases below use that.
void SimulationTick(World& world, Surface& surface, Timers& timers) {
  // Where the bodies stand before the tick: a body is pulled by the bodies after it from here.
  const BodyDoubles oldX = world.PosX;
  const BodyDoubles oldY = world.PosY;

  // Erase, move and draw, body by body: each erase still follows the previous body's disc, so
  // where discs overlap the pixels come out as they would body by body.
  for (int i = 0; i < BodyCount; ++i) {
    MoveAndDrawBody(world, surface, i);
  }

  // Attract: the new velocities first move the bodies in the next tick.
  AttractBodies(world, oldX, oldY);

  // Record, in the ticks that take a record.
  for (int i = 0; i < BodyCount; ++i) {
    RecordBody(world, i);
  }

  AdvanceRecorder(world, surface, timers);
}
