#include "commands/handle_key.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "view/view.h"
#include "world/rounding.h"

namespace {

constexpr int LastBody = BodyCount - 1;
constexpr int PanStep = 30;  // surface units: a pan moves the picture this far whatever the zoom

// The offset that centres the view on a body: its negated position, rounded. A body outside the
// world (possible only in the first ticks after seeding at a high zoom, before it is folded back
// in) may lie beyond 10000 and still be centred on; one beyond the 16-bit range is centred as
// nearly as the offset allows.
int16_t CentringOffset(double position) {
  return RoundToInteger(-position);
}

// Centres the view on the selected body.
void CentreOnSelected(World& world) {
  // The selection always lies in 0..80; a record that says otherwise is read as body 0 rather than
  // reading outside the bodies.
  const int selected = world.Selected >= 0 && world.Selected <= LastBody ? world.Selected : 0;
  const auto body = static_cast<size_t>(selected);
  world.OffsetX = CentringOffset(world.PosX[body]);
  world.OffsetY = CentringOffset(world.PosY[body]);
}

// An offset moved by a pan step. The sum is worked out in full-size integers and saturated at the
// 16-bit bounds, since an offset set by centring on a far body plus a step can leave them; then
// the step's own limit applies.
int16_t Panned(int16_t offset, int step, int clampLow, int clampHigh) {
  const int moved = std::clamp(offset + step, int{INT16_MIN}, int{INT16_MAX});
  return static_cast<int16_t>(std::clamp(moved, clampLow, clampHigh));
}

// The selection moves through the bodies and wraps at both ends.
int16_t PreviousBody(int16_t selected) {
  return selected - 1 < 0 ? int16_t{LastBody} : static_cast<int16_t>(selected - 1);
}
int16_t NextBody(int16_t selected) {
  return selected + 1 > LastBody ? int16_t{0} : static_cast<int16_t>(selected + 1);
}

}  // namespace

KeyOutcome HandleKey(World& world, Surface& surface, Timers& timers, int16_t keyCode, int shift) {
  (void)shift;                            // no command depends on it
  const int step = world.Zoom * PanStep;  // world units
  constexpr int NoLimit = INT32_MAX;

  switch (keyCode) {
    case KeyEnter:
      // Either way the record countdown or the playback starts afresh.
      world.TickCounter = 0;
      if (timers.t.Enabled) {
        timers.t.Enabled = false;  // to playback
        timers.h.Enabled = true;
      } else {
        timers.t.Enabled = true;  // to simulation
        timers.h.Enabled = false;
      }
      break;
    case KeyEscape:
      return KeyOutcome::EndProgram;
    case KeySpace:
      CentreOnSelected(world);
      break;
    case KeyPageUp:
      world.Selected = PreviousBody(world.Selected);
      CentreOnSelected(world);
      break;
    case KeyPageDown:
      world.Selected = NextBody(world.Selected);
      CentreOnSelected(world);
      break;
    // Left and Up move the world right and down on the surface; each arrow clamps only in the
    // direction it moves.
    case KeyLeft:
      world.OffsetX = Panned(world.OffsetX, step, -NoLimit, MaxOffset);
      break;
    case KeyUp:
      world.OffsetY = Panned(world.OffsetY, step, -NoLimit, MaxOffset);
      break;
    case KeyRight:
      world.OffsetX = Panned(world.OffsetX, -step, -MaxOffset, NoLimit);
      break;
    case KeyDown:
      world.OffsetY = Panned(world.OffsetY, -step, -MaxOffset, NoLimit);
      break;
    case KeyT:
      world.EraseOld = Toggled(world.EraseOld);
      break;
    case KeyPadPlus:
      if (world.Zoom > MinZoom) {
        world.Zoom = static_cast<int16_t>(world.Zoom - 1);  // zoom in
      }
      break;
    case KeyPadMinus:
      if (world.Zoom < MaxZoom) {
        world.Zoom = static_cast<int16_t>(world.Zoom + 1);  // zoom out
      }
      break;
    default:
      break;
  }

  // Every command but Escape wipes trails and marks and redraws the overlay under the new view.
  DrawOverlay(world, surface);
  return KeyOutcome::KeepRunning;
}
