#include <SDL2/SDL.h>

#include <chrono>
#include <thread>

#include "host/host.h"
#include "platform/desktop/key_codes.h"
#include "platform/desktop/window.h"

namespace {

void HandleWindowEvent(Window& w, Host& host, Program& program, const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      const int scale = ReadWindowSize(w);
      HostResized(host, w.PixelSize.x, w.PixelSize.y, scale);
      break;
    }
    case SDL_WINDOWEVENT_MOVED:
      // Possibly onto another screen with another refresh rate.
      HostRefreshRate(host, DisplayRefreshHz(w));
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      HostPictureLost(host, program);
      break;
    default:
      break;
  }
}

// A mouse position in window coordinates, in surface units: window coordinates to device pixels
// (a desktop that scales windows itself makes each coordinate several pixels), then pixels to
// units at the scale the surface has now.
float PointerAt(const Host& host, int at, int points, int pixels) {
  const double pixel = points > 0 ? static_cast<double>(at) * pixels / points : at;
  return PointerToUnits(pixel, host.Scale);
}

}  // namespace

int64_t PlatformNowNs(Window& /*w*/) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Whole milliseconds are spent in SDL's event wait, which wakes at once for input and leaves the
// event in the queue; the sub-millisecond rest is a plain sleep, since SDL's timeout only counts
// whole milliseconds.
bool PlatformWait(Window& w, int64_t wakeNs) {
  const int64_t waitNs = wakeNs - PlatformNowNs(w);
  if (waitNs >= NsPerMs) {
    return SDL_WaitEventTimeout(nullptr, static_cast<int>(waitNs / NsPerMs)) == 1;
  }
  if (waitNs > 0) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(waitNs));
  }
  return false;
}

bool PlatformReadInput(Window& w, Host& host, Program& program) {
  SDL_Event event;
  while (SDL_PollEvent(&event) == 1) {
    switch (event.type) {
      case SDL_QUIT:
        return false;
      case SDL_KEYDOWN: {
        const bool numLock = (event.key.keysym.mod & KMOD_NUM) != 0;
        PressKey(program, VirtualKeyCode(event.key.keysym.sym, numLock),
                 ShiftState(event.key.keysym.mod));
        if (program.Ended) {
          return true;  // nothing after Escape is acted on
        }
        break;
      }
      case SDL_MOUSEBUTTONUP:
        ReleaseMouseButton(program, MouseButtonCode(MouseButtonOf(event.button.button)),
                           ShiftState(static_cast<uint16_t>(SDL_GetModState())),
                           PointerAt(host, event.button.x, w.PointSize.x, w.PixelSize.x),
                           PointerAt(host, event.button.y, w.PointSize.y, w.PixelSize.y));
        break;
      case SDL_WINDOWEVENT:
        HandleWindowEvent(w, host, program, event.window);
        break;
      default:
        break;
    }
  }
  return true;
}
