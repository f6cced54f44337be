#pragma once

#include <cstdint>

// What the page's JavaScript (platform/web/page.js) does for the C++ side.
extern "C" {
// Sizes the surface to the canvas now, through gravity_resize, and again whenever the page resizes
// the canvas; keeps the context menu off it; defines window.gravityStats().
void PageWatchCanvas();
// Puts `count` rectangles of the width x height opaque image at `pixels` on the canvas; `rects`
// holds four ints per rectangle: x, y, width, height.
void PagePutImageRects(const uint32_t* pixels, int width, int height, const int* rects, int count);
// Stops following the canvas's size and says on the page how to start again.
void PageShowEnded();
}
