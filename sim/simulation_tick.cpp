#include "sim/simulation_tick.h"

void SimulationTick(World& world, Surface& surface, Timers& timers) {
  (void)world;
  (void)surface;
  (void)timers;
}
