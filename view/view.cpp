#include "view/view.h"

ScreenPoint WorldToScreen(const World& world, const Surface& surface, double wx, double wy) {
  (void)world, (void)surface, (void)wx, (void)wy;
  return {0.0F, 0.0F};
}

void DrawOverlay(const World& world, Surface& surface) { (void)world, (void)surface; }
