#include <SDL2/SDL.h>

#include <chrono>

#include "host/platform.h"
#include "platform/desktop/key_codes.h"
#include "platform/desktop/window.h"

namespace {

// What a window event means for the host; false for those it does not care about.
bool TranslateWindowEvent(Window& w, const SDL_WindowEvent& from, PlatformEvent& event) {
  switch (from.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      const int scale = ReadWindowSize(w);
      event = ResizeEvent(w.PixelSize.x, w.PixelSize.y, scale);
      return true;
    }
    case SDL_WINDOWEVENT_MOVED:
      // Possibly onto another screen with another refresh rate.
      event = RefreshEvent(DisplayRefreshHz(w));
      return true;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      event = {.Kind = EventKind::PictureLost};
      return true;
    default:
      return false;
  }
}

// A mouse position in window coordinates, in device pixels: a desktop that scales windows itself
// makes each coordinate several pixels.
double PixelAt(int at, int points, int pixels) {
  return points > 0 ? static_cast<double>(at) * pixels / points : at;
}

// What an SDL event means for the host; false for those it does not care about.
bool Translate(Window& w, const SDL_Event& from, PlatformEvent& event) {
  switch (from.type) {
    case SDL_QUIT:
      event = {.Kind = EventKind::Closed};
      return true;
    case SDL_KEYDOWN: {
      const SDL_Keysym& key = from.key.keysym;
      const bool numLock = (key.mod & KMOD_NUM) != 0;
      event = KeyEvent(VirtualKeyCode(key.sym, numLock), ShiftState(key.mod));
      return true;
    }
    case SDL_MOUSEBUTTONUP:
      event = ReleaseEvent(MouseButtonCode(MouseButtonOf(from.button.button)),
                           ShiftState(static_cast<uint16_t>(SDL_GetModState())),
                           PixelAt(from.button.x, w.PointSize.x, w.PixelSize.x),
                           PixelAt(from.button.y, w.PointSize.y, w.PixelSize.y));
      return true;
    case SDL_WINDOWEVENT:
      return TranslateWindowEvent(w, from.window, event);
    default:
      return false;
  }
}

}  // namespace

int64_t PlatformNowNs(Window& /*w*/) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The wait is SDL's event wait, which wakes at once for input and leaves the event in the queue.
// Its timeout counts whole milliseconds, so the host is woken up to a millisecond late rather than
// twice, in the wait and in a sleep for the rest: the pass then runs every firing due by then.
bool PlatformWait(Window& w, int64_t wakeNs) {
  const int64_t waitNs = wakeNs - PlatformNowNs(w);
  if (waitNs <= 0) {
    return false;
  }
  return SDL_WaitEventTimeout(nullptr, static_cast<int>((waitNs + NsPerMs - 1) / NsPerMs)) == 1;
}

bool PlatformNextEvent(Window& w, PlatformEvent& event) {
  SDL_Event from;
  while (SDL_PollEvent(&from) == 1) {
    if (Translate(w, from, event)) {
      return true;
    }
  }
  return false;
}

// The host sleeps between passes here, in PlatformWait: it runs every pass itself.
void PlatformTakePass(Window& /*w*/, HostPass /*pass*/) {}
