#include "view/surface.h"

#include <cstddef>

void ResizeSurface(Surface& surface, int width, int height) {
  surface.Width = width;
  surface.Height = height;
  surface.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), surface.Background);
}
float ScaleWidth(const Surface& surface) { return static_cast<float>(surface.Width); }
float ScaleHeight(const Surface& surface) { return static_cast<float>(surface.Height); }
void Cls(Surface& surface) { (void)surface; }
void FillColor(Surface& surface, Colour colour) { surface.Fill = colour; }
void Circle(Surface& surface, float x, float y, float radius, Colour outline) {
  (void)surface, (void)x, (void)y, (void)radius, (void)outline;
}
void Circle(Surface& surface, float x, float y, float radius) {
  Circle(surface, x, y, radius, surface.PenColour);
}
void Line(Surface& surface, float x1, float y1, float x2, float y2, Colour colour) {
  (void)surface, (void)x1, (void)y1, (void)x2, (void)y2, (void)colour;
}
void PSet(Surface& surface, float x, float y, Colour colour) {
  (void)surface, (void)x, (void)y, (void)colour;
}
void PSet(Surface& surface, float x, float y) { PSet(surface, x, y, surface.PenColour); }
Colour PixelAt(const Surface& surface, int px, int py) {
  (void)px, (void)py;
  return surface.Background;
}
