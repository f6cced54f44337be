#include "history/record.h"

#include <cstddef>

#include "world/rounding.h"

namespace {

// The countdown runs 20, 19, .., 0; a record is taken in the tick in which it stands at 20.
constexpr int16_t RecordTick = RecordPeriod - 1;

// Bodies lighter than this are recorded at the origin; bodies of BigMass or more are marked big.
constexpr float SmallMass = 1;
constexpr float BigMass = 3;

}  // namespace

void RecordBody(World& world, int i) {
  if (world.TickCounter != RecordTick) {
    return;
  }
  // Once the history is full a resumed simulation can still reach a record tick; there is no
  // slot for it, so the record is dropped rather than written past the history.
  if (world.RecordIndex < 0 || world.RecordIndex > LastSlot) {
    return;
  }
  const auto s = static_cast<size_t>(world.RecordIndex);
  const auto b = static_cast<size_t>(i);

  // Positions beyond the 16-bit range (only just after a seeding at high zoom) saturate.
  world.HistX[s][b] = RoundToInteger(world.PosX[b]);
  world.HistY[s][b] = RoundToInteger(world.PosY[b]);
  if (world.Mass[b] < SmallMass) {
    world.HistBig[s][b] = False;
    world.HistX[s][b] = 0;
    world.HistY[s][b] = 0;
  } else if (world.Mass[b] >= BigMass) {
    world.HistBig[s][b] = True;
  } else {
    world.HistBig[s][b] = False;
  }
}

void AdvanceRecorder(World& world, Surface& surface, Timers& timers) {
  // Counted in int so that no starting value can overflow the 16-bit field.
  const int next = world.TickCounter - 1;
  if (next >= 0) {
    world.TickCounter = static_cast<int16_t>(next);
    return;
  }

  world.TickCounter = RecordTick;
  // The index stops one past the last slot: it only has to say "full", however often the user
  // resumes the simulation after that.
  if (world.RecordIndex <= LastSlot) {
    ++world.RecordIndex;
  }

  // The history is full: switch to playback, which starts from frame 1.
  if (world.RecordIndex > LastSlot) {
    Cls(surface);
    timers.t.Enabled = false;
    timers.h.Enabled = true;
    world.TickCounter = 0;
  }
}
