#pragma once

#include <cstdint>

// What the page's JavaScript (platform/web/page.js) does for the C++ side.
extern "C" {
// Sizes the surface to the canvas's CSS size now, through gravity_resize, and again whenever the
// page resizes the canvas; keeps the context menu off it; defines window.gravityStats().
void PageWatchCanvas();
// Makes the on-screen keys press their keys through gravity_press_key, repeating while held.
void PageWatchKeys();
// Puts `count` rectangles of the width x height opaque image at `pixels` on the canvas; `rects`
// holds four ints per rectangle: x, y, width, height.
void PagePutImageRects(const uint32_t* pixels, int width, int height, const int* rects, int count);
// Stops following the canvas's size, turns the on-screen keys off and says on the page how to start
// again.
void PageShowEnded();
}
