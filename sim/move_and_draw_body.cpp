#include "sim/move_and_draw_body.h"

#include <algorithm>
#include <cstddef>

#include "sim/move_body.h"
#include "view/view.h"

namespace {

// Colour fields are 16-bit; anything outside 0..255 is clamped so RGB() gets valid components.
int Component(int16_t value) {
  return std::clamp<int>(value, 0, 255);
}

// Half brightness, rounded to the nearest integer with ties to even (255 -> 128, 5 -> 2): an odd
// component's half lies midway between two integers and goes to the even one. In integers, since
// some C libraries (mingw-w64's) round a double far more slowly than this takes.
int Half(int16_t value) {
  const int component = Component(value);
  return (component + ((component >> 1) & 1)) >> 1;
}

}  // namespace

void MoveAndDrawBody(World& world, Surface& surface, int i) {
  const auto b = static_cast<size_t>(i);
  const float radius = world.Mass[b] + 1.0F;

  // Erase last tick's disc at the position before the move, in the pen colour over the black
  // fill the previous body left behind.
  if (world.EraseOld != 0) {
    const ScreenPoint old = WorldToScreen(world, surface, world.PosX[b], world.PosY[b]);
    Circle(surface, old.X, old.Y, radius);
  }

  MoveBody(world, i);

  // Draw a half-brightness disc with a full-brightness rim at the new position.
  const int16_t r = world.ColorR[b];
  const int16_t g = world.ColorG[b];
  const int16_t bl = world.ColorB[b];
  FillColor(surface, RGB(Half(r), Half(g), Half(bl)));
  const ScreenPoint now = WorldToScreen(world, surface, world.PosX[b], world.PosY[b]);
  Circle(surface, now.X, now.Y, radius, RGB(Component(r), Component(g), Component(bl)));
  FillColor(surface, Black);
}
