#pragma once

#include <cstdint>
#include <vector>

#include "program/program.h"
#include "view/changed_region.h"

// The page's canvas, whose drawing buffer shows the program's surface pixel for pixel. The canvas
// wants opaque RGBA while the surface keeps R, G, B and a zero byte, so the changed rectangles are
// copied with their fourth byte set into an image of the same size, which the page reads straight
// from the WebAssembly memory.
struct Canvas {
  std::vector<uint32_t> Opaque;  // the image the page puts on the canvas, Width * Height
  ChangedRects Rects;            // the rectangles of the present under way
};

// The canvas element's id in the page.
inline constexpr char CanvasSelector[] = "#canvas";

// Sizes the surface and the image to width x height CSS pixels, keeping what is drawn; the
// whole surface counts as changed, since the page cleared the canvas when it resized it.
void ResizeCanvas(Canvas& canvas, Program& program, int width, int height);

// Puts on the canvas the parts of the surface drawn on since the last present. Returns false when
// nothing had changed.
bool PresentSurface(Canvas& canvas, Program& program);
