#include "history/playback_tick.h"

#include <cstddef>

#include "view/view.h"

namespace {

constexpr float MarkRadius = 2.0F;  // surface units, the ring that marks a big body

// The frame after `frame`: 1..3000, looping. Slot 0 is never shown. A counter outside 0..2999 (it
// cannot be, but it indexes the history) starts the loop again at frame 1.
int NextFrame(int frame) {
  const int next = frame + 1;
  return next >= 1 && next <= LastSlot ? next : 1;
}

}  // namespace

void PlaybackTick(World& world, Surface& surface) {
  const int frame = NextFrame(world.TickCounter);
  world.TickCounter = static_cast<int16_t>(frame);
  // The frame before frame 1 is frame 3000, the last one shown before the loop came round.
  const int previous = frame == 1 ? LastSlot : frame - 1;
  const auto& erasedX = world.HistX[static_cast<size_t>(previous)];
  const auto& erasedY = world.HistY[static_cast<size_t>(previous)];
  const auto& erasedBig = world.HistBig[static_cast<size_t>(previous)];
  const auto& shownX = world.HistX[static_cast<size_t>(frame)];
  const auto& shownY = world.HistY[static_cast<size_t>(frame)];
  const auto& shownBig = world.HistBig[static_cast<size_t>(frame)];

  for (size_t i = 0; i < BodyCount; ++i) {
    // Erase the previous frame's mark in the pen colour, always, whatever EraseOld says.
    const ScreenPoint old = WorldToScreen(world, surface, erasedX[i], erasedY[i]);
    if (erasedBig[i] != 0) {
      Circle(surface, old.X, old.Y, MarkRadius);
    } else {
      PSet(surface, old.X, old.Y);
    }

    // Show this frame's mark: a white ring for a big body, a white point otherwise.
    const ScreenPoint now = WorldToScreen(world, surface, shownX[i], shownY[i]);
    if (shownBig[i] != 0) {
      Circle(surface, now.X, now.Y, MarkRadius, White);
    } else {
      PSet(surface, now.X, now.Y, White);
    }
  }
}
