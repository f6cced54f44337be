#include "history/record.h"

void RecordBody(World& world, int i) {
  (void)world;
  (void)i;
}

void AdvanceRecorder(World& world, Surface& surface, Timers& timers) {
  (void)world;
  (void)surface;
  (void)timers;
}
