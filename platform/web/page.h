#pragma once

#include <cstdint>

// What the page's JavaScript (platform/web/page.js) does for the C++ side.
extern "C" {
// Follows the canvas's CSS size, in whole CSS pixels, through gravity_resize whenever the page
// changes it; keeps the context menu off it; defines window.gravityStats().
void PageWatchCanvas();
// Gives the canvas's drawing buffer width x height pixels, which clears it.
void PageSizeCanvas(int width, int height);
// Makes the on-screen keys press their keys through gravity_press_key, repeating while held.
void PageWatchKeys();
// Puts `count` rectangles of the width x height opaque image at `pixels` on the canvas; `rects`
// holds four ints per rectangle: x, y, width, height.
void PagePutImageRects(const uint32_t* pixels, int width, int height, const int* rects, int count);
// Stops following the canvas's size, turns the on-screen keys off and says on the page how to start
// again.
void PageShowReload();
}
