#include "platform/desktop/window.h"

#include <SDL2/SDL.h>

#include <cstdlib>

#include "platform/desktop/window_icon.h"

namespace {

// The surface's pixels are packed r + 256 g + 65536 b in 32 bits, the top byte unused.
constexpr Uint32 SurfaceFormat = SDL_PIXELFORMAT_XBGR8888;

// The SDL settings the window relies on, made before SDL starts.
void ChooseSdlSettings() {
  // X11, or Wayland in a Wayland session. SDL would otherwise fall back to its "offscreen" or
  // "dummy" driver (or the bare console) when there is no desktop, and the program would run with
  // nothing to see. Wayland is only tried when a compositor is announced, since without one its
  // client library complains on stderr. A driver the user names in SDL_VIDEODRIVER is honoured
  // (the last argument keeps it); SDL before 2.0.22 reads the choice only from the environment.
  SDL_setenv("SDL_VIDEODRIVER", std::getenv("WAYLAND_DISPLAY") == nullptr ? "x11" : "x11,wayland",
             0);
  // SIGINT and SIGTERM become a quit event, so the program ends the normal way, with status 0,
  // whatever the environment asks of SDL.
  SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "0", SDL_HINT_OVERRIDE);
  // A toy must not keep the screen awake.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Copy pixels straight to the window instead of through an OpenGL texture: on a software-only
  // display a GL renderer costs far more than the copy it replaces.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

// Wraps the surface's pixel buffer for SDL without copying it. The buffer moves when the surface
// is resized, so this is redone then.
bool WrapSurfacePixels(Window& w, Surface& surface) {
  if (w.Source != nullptr && w.Source->pixels == surface.Pixels.data() &&
      w.Source->w == surface.Width && w.Source->h == surface.Height) {
    return true;
  }
  SDL_FreeSurface(w.Source);
  w.Source = nullptr;
  if (surface.Width <= 0 || surface.Height <= 0 ||
      surface.Pixels.size() !=
          static_cast<size_t>(surface.Width) * static_cast<size_t>(surface.Height)) {
    return false;
  }
  w.Source = SDL_CreateRGBSurfaceWithFormatFrom(
      surface.Pixels.data(), surface.Width, surface.Height, 32, surface.Width * 4, SurfaceFormat);
  return w.Source != nullptr;
}

}  // namespace

bool OpenWindow(Window& w, Surface& surface) {
  ChooseSdlSettings();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    return false;
  }
  w.Sdl = SDL_CreateWindow(Caption, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, StartWidth,
                           StartHeight, SDL_WINDOW_RESIZABLE);
  w.Target = w.Sdl == nullptr ? nullptr : SDL_GetWindowSurface(w.Sdl);
  if (w.Target == nullptr) {
    return false;
  }
  SetWindowIcon(w.Sdl);
  // Keys arrive as key-down events only; no text input or input method is wanted.
  SDL_StopTextInput();

  surface.Background = Black;
  MatchSurfaceToWindow(w, surface);
  PresentSurface(w, surface);
  return true;
}

void CloseWindow(Window& w) {
  SDL_FreeSurface(w.Source);
  w.Source = nullptr;
  w.Target = nullptr;  // owned by the window
  if (w.Sdl != nullptr) {
    SDL_DestroyWindow(w.Sdl);
    w.Sdl = nullptr;
  }
  SDL_Quit();
}

void MatchSurfaceToWindow(Window& w, Surface& surface) {
  w.Target = SDL_GetWindowSurface(w.Sdl);
  if (w.Target == nullptr) {
    return;
  }
  ResizeSurface(surface, w.Target->w, w.Target->h);
}

bool PresentSurface(Window& w, Surface& surface) {
  // Cheap while the window keeps its size; after a resize SDL hands out new window pixels.
  w.Target = SDL_GetWindowSurface(w.Sdl);
  if (w.Target == nullptr) {
    return false;
  }
  if (w.Target->w != surface.Width || w.Target->h != surface.Height) {
    ResizeSurface(surface, w.Target->w, w.Target->h);
  }
  if (!WrapSurfacePixels(w, surface)) {
    return false;
  }
  return SDL_BlitSurface(w.Source, nullptr, w.Target, nullptr) == 0 &&
         SDL_UpdateWindowSurface(w.Sdl) == 0;
}

bool WindowIsShowing(const Window& w) {
  return (SDL_GetWindowFlags(w.Sdl) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

ScreenPoint MouseToSurface(const Window& w, int x, int y) {
  int windowWidth = 0;
  int windowHeight = 0;
  SDL_GetWindowSize(w.Sdl, &windowWidth, &windowHeight);
  const auto pointX = static_cast<float>(x);
  const auto pointY = static_cast<float>(y);
  if (w.Target == nullptr || windowWidth <= 0 || windowHeight <= 0) {
    return {pointX, pointY};
  }
  // The window's pixel buffer has the client area's size in pixels.
  return {pointX * static_cast<float>(w.Target->w) / static_cast<float>(windowWidth),
          pointY * static_cast<float>(w.Target->h) / static_cast<float>(windowHeight)};
}
