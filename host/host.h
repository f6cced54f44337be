#pragma once

#include <array>
#include <cstdint>

#include "host/pacing.h"
#include "host/pixels.h"
#include "host/platform.h"
#include "program/program.h"
#include "view/changed_region.h"

// The loop every window layer runs the program in, and the one place its events reach the program.
// It decides when events are read and what they mean, when the timers' firings run (through
// RunDueFirings), when a new client size is applied, when the window is presented and in what
// parts, and when the measuring builds print their counts. The layer supplies its platform's
// primitives (host/platform.h).
struct Host {
  // The client area as last applied to the surface.
  ClientArea Area;
  // A client size reported but not applied yet: of many in one pass only the last is applied.
  bool ResizePending = false;
  int PendingWidth = 0;
  int PendingHeight = 0;
  int PendingScale = Unscaled;

  // Chosen at load from what the platform is (PlatformDescribe).
  bool WokenEachFrame = false;
  int64_t RefreshNs = RefreshIntervalNs(0);  // between two refreshes of the display
  int64_t MaxCatchUpNs = ::MaxCatchUpNs;     // a longer lag of the timers is a stall
  int64_t PartPixels = DefaultPartPixels;    // the most device pixels one part of a present shows
  // The measuring builds' line of counts, printed once a second; none in the real programs.
  void (*PrintCounts)(const Host& host, const Program& program) = nullptr;

  bool Closed = false;        // the window was closed
  bool InputWaiting = true;   // the last wait ended for input, so it is read at once
  int64_t NextInputNs = 0;    // when input is next read while none is known to wait
  int64_t NextPresentNs = 0;  // the earliest the next present may start
  int64_t NextPrintNs = 0;

  // The present under way: the rectangles taken from the program, in surface units, the first of
  // them not shown yet (perhaps shown in part: the rows shown are cut off its top), and the part
  // handed to the layer, in device pixels.
  ChangedRects Showing;
  int NextShown = 0;
  std::array<PixelRect, MaxChangedRects> Part{};
  int PartCount = 0;

  // For the line of counts: presents begun and device pixels shown since the last line, and
  // presents and releases handed to the seeding since the start.
  int64_t Presents = 0;
  int64_t PresentedPixels = 0;
  int64_t AllPresents = 0;
  int64_t Seeds = 0;

  // What the passes the layer runs (HostPass) run on, from RunHost on.
  Window* RunWindow = nullptr;
  Program* RunProgram = nullptr;
};

// The window's load event, once the layer has opened its window: the host takes what the platform
// is and its client area (PlatformDescribe), the program is loaded on a surface of that size, the
// layer's buffers follow it, and the loop's clocks start. Before anything else runs.
void LoadHost(Host& host, Window& w, Program& program);

// One pass of work: the firings due, the events that arrived, a new client size, the firings due
// again, a present (or its next part) and a line of counts when due.
void RunHostPass(Host& host, Window& w, Program& program);

// Whether nothing more is to run: Escape was pressed or the window closed.
bool HostFinished(const Host& host, const Program& program);

// The moment the next pass has work: a present with the firings due by then, the firings alone
// while nothing can be shown, or a line of counts; INT64_MIN when it has work at once (a present
// under way, a resize to apply, a timer just switched on). Input wakes a sleeping host sooner.
int64_t HostWakeNs(const Host& host, Window& w, const Program& program);

// Runs the program after LoadHost: hands the layer the host's pass (PlatformTakePass), and where
// the host sleeps between passes (PlatformWait) runs them until the program ends or the window is
// closed. Where the platform runs a pass once a frame instead, returns at once.
void RunHost(Host& host, Window& w, Program& program);

// The measuring builds print their counts once a second, and with GRAVITY_STATS_NO_HANDLERS=1 in
// the environment leave the timer handlers out, to time the window layer on its own (the firings
// are still counted). The real programs never call this and read the environment only to find
// their display (DISPLAY, WAYLAND_DISPLAY); it lives apart (host/measuring.cpp), so that they do
// not take in the C library's printing either.
void UseMeasuringSwitches(Host& host, Program& program);
