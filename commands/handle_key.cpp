#include "commands/handle_key.h"

KeyOutcome HandleKey(World& world, Surface& surface, Timers& timers, int16_t keyCode, int shift) {
  (void)world;
  (void)surface;
  (void)timers;
  (void)shift;
  return keyCode == KeyEscape ? KeyOutcome::EndProgram : KeyOutcome::KeepRunning;
}
