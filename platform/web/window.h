#pragma once

#include <cstdint>
#include <vector>

#include "host/host.h"

// The window `w` on a web page: its canvas, whose drawing buffer shows the program's surface one
// unit to a CSS pixel, scaled to the screen by the browser without smoothing. The canvas wants
// opaque RGBA while the surface keeps R, G, B and a zero byte, so the changed rectangles are
// copied with their fourth byte set into an image of the same size, which the page reads straight
// from the WebAssembly memory.
struct Window {
  std::vector<uint32_t> Opaque;  // the image the page puts on the canvas, the surface's size
  // What the page's events are handed to, from the load event on.
  Host* ItsHost = nullptr;
  Program* ItsProgram = nullptr;
  double Seeds = 0;  // releases and touches handed to the seeding, for window.gravityStats()
};

// The canvas element's id in the page.
inline constexpr char CanvasSelector[] = "#canvas";

// Tells the host the canvas's size: its CSS box, in whole CSS pixels.
void ReportCanvasSize(Host& host);

// From the window's load event on: hands the page's input to the program, follows the canvas's
// size and runs one host pass per animation frame, until Escape ends it all.
void StartPage(Window& w, Host& host, Program& program);
