#include "world/world.h"

void StartUp(World& world) {
  // Everything else keeps the zero fill the window was created with: 81 massless black bodies at
  // the origin, at rest, with the view centred and body 0 selected.
  world.Zoom = 1;
  world.EraseOld = True;
}
