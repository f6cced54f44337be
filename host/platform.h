#pragma once

#include <array>
#include <cstdint>

#include "host/pixels.h"

struct Surface;

// What a window layer supplies to the host: each layer under platform/ defines these functions for
// its own `Window` (the SDL window of the desktop, the Win32 window, the page's canvas), its clock,
// wait and events in events.cpp and its picture in window.cpp, and a program links exactly one of
// them. The host decides when anything happens and what it means; a layer only answers what time
// it is, waits, turns what happened into events and shows the device pixels it is given.
struct Window;

// What happened, as a layer hands it to the host: one small value per platform event.
enum class EventKind : uint8_t {
  Key,             // a key pressed, or repeated while held: Code is its virtual key code
  ButtonReleased,  // Code is the button's (MouseButtonCode), at X, Y in device pixels
  Resized,         // the client area is now Width x Height device pixels at Scale
  PictureLost,     // the window lost its picture (shown, exposed, restored)
  RefreshRate,     // the window is now on a display refreshed Hz times a second, 0 unknown
  Closed,          // the window was closed or the program told to end
};

struct PlatformEvent {
  EventKind Kind = EventKind::PictureLost;
  int16_t Code = 0;
  int Shift = 0;  // of a key or a release: ShiftCode (platform/key_table.h)
  double X = 0;   // perhaps between pixels
  double Y = 0;
  int Width = 0;
  int Height = 0;
  int Scale = Unscaled;  // in quarters (host/pixels.h)
  int Hz = 0;
};

// The events that carry more than their kind, as the layers make them.
inline PlatformEvent KeyEvent(int16_t code, int shift) {
  return {.Kind = EventKind::Key, .Code = code, .Shift = shift};
}
inline PlatformEvent ReleaseEvent(int button, int shift, double x, double y) {
  return {.Kind = EventKind::ButtonReleased,
          .Code = static_cast<int16_t>(button),
          .Shift = shift,
          .X = x,
          .Y = y};
}
inline PlatformEvent ResizeEvent(int width, int height, int scale) {
  return {.Kind = EventKind::Resized, .Width = width, .Height = height, .Scale = scale};
}
inline PlatformEvent RefreshEvent(int hz) {
  return {.Kind = EventKind::RefreshRate, .Hz = hz};
}

// A few events kept for the host where the platform hands them over between passes, in callbacks
// (the page, the Win32 window procedure). Sizes reported one after another take one place, as only
// the last counts; should more come in one pass than it holds, the latest are dropped.
struct EventQueue {
  std::array<PlatformEvent, 64> Events{};
  int First = 0;
  int Count = 0;
};
void PushEvent(EventQueue& queue, const PlatformEvent& event);
bool PopEvent(EventQueue& queue, PlatformEvent& event);

// What a platform is and how its window stands when it opens, stated once by its layer at load;
// the host chooses its catch-up, pacing and parts from it.
struct PlatformState {
  // The platform runs a pass once per display frame (the page), rather than the host sleeping
  // between passes until its next moment or input.
  bool WokenEachFrame = false;
  // Every present shows the whole window (a renderer, a canvas), so none is split into parts.
  bool PresentsWhole = false;
  int RefreshHz = 0;  // 0 when the display does not say
  int Width = 0;      // the client area, in device pixels, at Scale
  int Height = 0;
  int Scale = Unscaled;
};

// The client area as the host applied it: its size and scale, and what of it lies beyond the
// surface, right of it and below it (either may be empty), which is to be black.
struct ClientArea {
  int Width = 0;
  int Height = 0;
  int Scale = Unscaled;
  PixelRect Beside;
  PixelRect Below;
};

// The host's one pass, as a layer runs it where its platform rather than the host decides when a
// pass comes (the page's animation frames, Windows' loop while the frame is dragged). Returns false
// once the program has ended or the window was closed.
struct HostPass {
  bool (*Run)(void* host) = nullptr;
  void* Host = nullptr;
};

PlatformState PlatformDescribe(Window& w);

// A monotonic clock, in nanoseconds.
int64_t PlatformNowNs(Window& w);

// Sleeps until `wakeNs` on that clock or until input arrives, whichever comes first. Returns
// whether input is waiting. Only the platforms the host sleeps on call it.
bool PlatformWait(Window& w, int64_t wakeNs);

// Takes the next event that arrived, in the order they came. Returns false when there is none.
bool PlatformNextEvent(Window& w, PlatformEvent& event);

// The host's pass for the layer: a platform that wakes the page once a frame starts running it
// then; one the host sleeps on keeps it for the passes its platform runs itself.
void PlatformTakePass(Window& w, HostPass pass);

// The client area is now `area` and the surface has followed it as far as it could: the layer
// makes its own buffers match. Allocates; called at most once per pass.
void PlatformResized(Window& w, const ClientArea& area, const Surface& surface);

// Whether the window can be seen at all; one that cannot (minimised, hidden) is not presented.
bool PlatformShowing(Window& w);

// Shows `count` rectangles of the client area, in device pixels, each pixel the surface unit it
// lies in at the area's scale (UnitOfPixel). Returns false when there was nothing to show them on;
// the host then shows all of the surface at the next present.
bool PlatformPresent(Window& w, const ClientArea& area, const Surface& surface,
                     const PixelRect* rects, int count);
