#include "history/playback_tick.h"

void PlaybackTick(World& world, Surface& surface) {
  (void)world;
  (void)surface;
}
