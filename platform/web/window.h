#pragma once

// The browser window layer: the same core as the desktop program, on a web page through
// WebAssembly. It supplies the host (host/host.h):
// - Pixels: the surface is the page canvas's drawing buffer, one surface unit to a CSS pixel, which
//   the browser shows scaled up to the screen without smoothing; the rectangles drawn on since the
//   last present go onto the canvas.
// - Cadence: each animation frame runs one host pass, with the firings of the 1 ms timers that
//   fell due since the last one by performance.now(). A frame comes every 16 ms or so, so up to
//   250 ms of lag is caught up; a longer gap (a hidden tab) is a stall and is not replayed.
// - Events: the browser's callbacks queue them for the next frame's pass. Key presses become
//   virtual key codes through KeyboardEvent's key and code and the shared key table; the on-screen
//   keys beside the canvas hand over the same codes. Mouse-button releases on the canvas, and the
//   end of a touch on it as a left button's release, are taken at their place in CSS pixels, the
//   page's device pixels, one to a surface unit. The page neither scrolls on the command
//   keys nor opens a menu on a right click, and a touch on the canvas neither scrolls nor zooms
//   the page. A new canvas size is reported to the host by the page's resize observer.
// - End: at the frame that finds Escape the frame loop and the input stop, so nothing more runs or
//   is drawn, and a line below the canvas says to reload the page to start again.

#include <cstdint>
#include <vector>

#include "host/platform.h"
#include "program/timer_schedule.h"
#include "view/surface.h"

// The window `w` on a web page: its canvas, whose drawing buffer shows the program's surface one
// unit to a CSS pixel, scaled to the screen by the browser without smoothing. The canvas wants
// opaque RGBA while the surface keeps R, G, B and a zero byte, so the changed rectangles are
// copied with their fourth byte set into an image of the same size, which the page reads straight
// from the WebAssembly memory.
struct Window {
  std::vector<uint32_t> Opaque;  // the image the page puts on the canvas, the surface's size
  EventQueue Events;             // from the browser's callbacks, for the next frame's pass
  HostPass Pass;
  bool Stopped = false;  // Escape was pressed: the page takes no more input
};

// The canvas element's id in the page.
inline constexpr char CanvasSelector[] = "#canvas";

// Starts taking the page's input and following the canvas's size, before the window's load event.
void OpenPage(Window& w);
