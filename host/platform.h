#pragma once

#include <cstdint>

#include "view/changed_region.h"

struct Host;
struct Program;
struct Surface;

// What a window layer supplies to the host: each layer under platform/ defines these functions for
// its own `Window` (the SDL window of the desktop, the Win32 window, the page's canvas), its clock,
// wait and input in events.cpp and its picture in window.cpp, and a program links exactly one of
// them. The host decides when anything happens; a layer only answers
// what time it is, waits, says what happened and shows what it is given.
struct Window;

// A monotonic clock, in nanoseconds.
int64_t PlatformNowNs(Window& w);

// Sleeps until `wakeNs` on that clock or until input arrives, whichever comes first. Returns
// whether input is waiting. Only the hosts that sleep between passes call it (RunHost); the page
// is woken by the browser once a frame instead.
bool PlatformWait(Window& w, int64_t wakeNs);

// Hands every input that has arrived to the program in the order it came (PressKey, and
// ReleaseMouseButton at a position turned into units by PointerToUnits), and tells the host of a
// new client size, a lost picture or another refresh rate (HostResized, HostPictureLost,
// HostRefreshRate). Returns false when the window was closed.
bool PlatformReadInput(Window& w, Host& host, Program& program);

// The client area is now the host's size and scale and the surface has followed it as far as it
// could: the layer makes its own buffers match. Allocates; called at most once per pass.
void PlatformResized(Window& w, const Host& host, const Surface& surface);

// Whether the window can be seen at all; one that cannot (minimised, hidden) is not presented.
bool PlatformShowing(Window& w);

// Shows `count` rectangles of the surface, in surface units, by the device pixels that show them
// at the host's scale (PixelsOfUnits). Returns false when there was nothing to show them on; the
// host then shows all of the surface at the next present.
bool PlatformPresent(Window& w, const Host& host, const Surface& surface, const UnitRect* rects,
                     int count);
