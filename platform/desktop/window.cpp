#include "platform/desktop/window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "platform/desktop/window_icon.h"

namespace {

// The surface's pixels are packed r + 256 g + 65536 b in 32 bits, the top byte unused.
constexpr Uint32 SurfaceFormat = SDL_PIXELFORMAT_XBGR8888;
constexpr Uint32 WindowFormat = SDL_PIXELFORMAT_XRGB8888;  // the surface's, red and blue swapped
constexpr int SurfacePixelBytes = 4;

// The SDL settings the window relies on, made before SDL starts.
void ChooseSdlSettings() {
  // X11, or Wayland in a Wayland session. SDL would otherwise fall back to its "offscreen" or
  // "dummy" driver (or the bare console) when there is no desktop, and the program would run with
  // nothing to see. Wayland is only tried when a compositor is announced, since without one its
  // client library complains on stderr. A driver the user names in SDL_VIDEODRIVER is honoured
  // (the last argument keeps it); SDL before 2.0.22 reads the choice only from the environment.
  SDL_setenv("SDL_VIDEODRIVER", std::getenv("WAYLAND_DISPLAY") == nullptr ? "x11" : "x11,wayland",
             0);
  // On a 16-bit X screen SDL would pick a DirectColor visual and build its colour ramp wrong for
  // 5-bit red and blue (black showing as a dark purple); a TrueColor visual shows every colour as
  // the screen's pixels hold it. SDL reads this from the environment.
  SDL_setenv("SDL_VIDEO_X11_NODIRECTCOLOR", "1", 0);
  // SIGINT and SIGTERM become a quit event, so the program ends the normal way, with status 0,
  // whatever the environment asks of SDL.
  SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "0", SDL_HINT_OVERRIDE);
  // A toy must not keep the screen awake.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // The window's own pixels are the display's native buffer, never SDL's texture stand-in for
  // one: where there is no native buffer the program picks its renderer itself, and a stand-in
  // would present the whole window every time.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The host paces the presents; a renderer waiting for the screen would hold up the timers.
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
  // A scaled picture stays crisp: each surface unit a block of whole pixels, never smoothed.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
}

bool TooLargeToPresent(const Window& w) {
  return w.PixelSize.x > MaxPresentedSide || w.PixelSize.y > MaxPresentedSide;
}

// On a desktop that scales windows itself (Wayland, macOS), window coordinates are already larger
// than pixels. On one that only announces a higher density (X11, where SDL reports the desktop's
// Xft.dpi setting, or else the monitor's own density), that density is the scale, and the window
// is grown by it, so it keeps its design size on the screen.
void KeepDesignSizeOnScreen(Window& w) {
  ReadWindowSize(w);
  float dpi = 0;
  if (w.PixelSize.x != w.PointSize.x ||
      SDL_GetDisplayDPI(SDL_GetWindowDisplayIndex(w.Sdl), nullptr, &dpi, nullptr) != 0) {
    return;
  }
  w.AnnouncedScale = ScaleForDpi(dpi);
  if (w.AnnouncedScale != Unscaled) {
    const PixelRect design = DesignPixels(w.AnnouncedScale);
    SDL_SetWindowSize(w.Sdl, design.Width, design.Height);
  }
}

// A band of the window's width for ScaleToPixels, of about one part's pixels, from which SDL
// converts to the window's pixel format; made anew with the window's pixels, so only after a
// resize.
bool MatchStagingToWindow(Window& w) {
  SDL_FreeSurface(w.Staging);
  w.Staging = nullptr;
  if (w.Target->w <= 0) {
    return true;
  }
  const int rows =
      static_cast<int>(std::clamp<int64_t>(DefaultPartPixels / w.Target->w, 1, w.Target->h));
  w.Staging = SDL_CreateRGBSurfaceWithFormat(0, w.Target->w, rows, 32, SurfaceFormat);
  return w.Staging != nullptr;
}

// Takes the window's pixels SDL made for its present size. They come from the system zeroed, that
// is black, and the surface covers them all (every pixel shows a unit), so they are never filled
// here: on a huge window that alone would hold the timers up. Only where the surface could not
// grow with the window does the part beyond it get its black.
bool MatchTargetToWindow(Window& w, const ClientArea& area) {
  w.Target = SDL_GetWindowSurface(w.Sdl);
  if (w.Target == nullptr) {
    return false;
  }
  const Uint32 black = SDL_MapRGB(w.Target->format, 0, 0, 0);
  for (const PixelRect& beyond : {area.Beside, area.Below}) {
    const SDL_Rect rect{beyond.X, beyond.Y, beyond.Width, beyond.Height};
    if (rect.w > 0 && rect.h > 0) {
      SDL_FillRect(w.Target, &rect, black);
    }
  }
  return MatchStagingToWindow(w);
}

// Makes the renderer's texture match the surface, as far as the renderer allows.
bool MatchTextureToSurface(Window& w, const Surface& surface) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(w.Renderer, &info) != 0) {
    return false;
  }
  const int width =
      std::min(surface.Width, info.max_texture_width > 0 ? info.max_texture_width : surface.Width);
  const int height = std::min(
      surface.Height, info.max_texture_height > 0 ? info.max_texture_height : surface.Height);
  if (w.Texture != nullptr && width == w.TextureWidth && height == w.TextureHeight) {
    return true;
  }
  if (w.Texture != nullptr) {
    SDL_DestroyTexture(w.Texture);
  }
  w.TextureWidth = 0;
  w.TextureHeight = 0;
  w.Texture =
      width > 0 && height > 0
          ? SDL_CreateTexture(w.Renderer, SurfaceFormat, SDL_TEXTUREACCESS_STREAMING, width, height)
          : nullptr;
  if (w.Texture == nullptr || SDL_SetTextureScaleMode(w.Texture, SDL_ScaleModeNearest) != 0) {
    return false;
  }
  w.TextureWidth = width;
  w.TextureHeight = height;
  return true;
}

// Copies the surface's units that `to` in the window's pixels shows into them. Pixels in X11's
// usual format take them directly, red and blue swapped; any other format through the staging
// band, a band of rows at a time, which SDL converts.
bool CopyToWindowPixels(Window& w, const Surface& surface, const SDL_Rect& to, int scale) {
  if (w.Target->format->format == WindowFormat && !SDL_MUSTLOCK(w.Target)) {
    const auto stride = static_cast<size_t>(w.Target->pitch / SurfacePixelBytes);
    ScaleToPixels(surface, {to.x, to.y, to.w, to.h}, scale,
                  static_cast<Colour*>(w.Target->pixels) + static_cast<size_t>(to.y) * stride +
                      static_cast<size_t>(to.x),
                  stride, true);
    return true;
  }
  for (int y = to.y; y < to.y + to.h; y += w.Staging->h) {
    SDL_Rect band{to.x, y, to.w, std::min(w.Staging->h, to.y + to.h - y)};
    ScaleToPixels(surface, {band.x, band.y, band.w, band.h}, scale,
                  static_cast<Colour*>(w.Staging->pixels),
                  static_cast<size_t>(w.Staging->pitch / SurfacePixelBytes), false);
    SDL_Rect from{0, 0, band.w, band.h};
    if (SDL_BlitSurface(w.Staging, &from, w.Target, &band) != 0) {
      return false;
    }
  }
  return true;
}

// Copies the rectangles into the window's pixels and shows them.
bool PresentWindowPixels(Window& w, const ClientArea& area, const Surface& surface,
                         const PixelRect* rects, int count) {
  // SDL makes the window's pixels anew after a resize the host has not applied yet: they hold
  // nothing, so all of the surface is to be shown on them.
  if (SDL_GetWindowSurface(w.Sdl) != w.Target) {
    MatchTargetToWindow(w, area);
    return false;
  }
  if (w.Target == nullptr || w.Staging == nullptr) {
    return false;
  }
  int shown = 0;
  for (int i = 0; i < count; ++i) {
    const PixelRect& pixels = rects[i];
    const int right = std::min(pixels.X + pixels.Width, w.Target->w);
    const int bottom = std::min(pixels.Y + pixels.Height, w.Target->h);
    if (pixels.X >= right || pixels.Y >= bottom) {
      continue;
    }
    const SDL_Rect to{pixels.X, pixels.Y, right - pixels.X, bottom - pixels.Y};
    if (!CopyToWindowPixels(w, surface, to, area.Scale)) {
      return false;
    }
    w.Shown[shown++] = to;
  }
  return shown == 0 || SDL_UpdateWindowSurfaceRects(w.Sdl, w.Shown, shown) == 0;
}

// Uploads the rectangles into the texture, then draws it, scaled to the pixels that show it, and
// shows the result.
bool PresentThroughRenderer(Window& w, int scale, const Surface& surface, const PixelRect* rects,
                            int count) {
  if (w.Texture == nullptr) {
    return false;
  }
  for (int i = 0; i < count; ++i) {
    const UnitRect rect = UnitsOfPixels(rects[i], scale);
    const int right = std::min(rect.X + rect.Width, w.TextureWidth);
    const int bottom = std::min(rect.Y + rect.Height, w.TextureHeight);
    if (rect.X >= right || rect.Y >= bottom) {
      continue;
    }
    const SDL_Rect to{rect.X, rect.Y, right - rect.X, bottom - rect.Y};
    const Colour* from = surface.Pixels.data() +
                         static_cast<size_t>(rect.Y) * static_cast<size_t>(surface.Width) +
                         static_cast<size_t>(rect.X);
    if (SDL_UpdateTexture(w.Texture, &to, from, surface.Width * SurfacePixelBytes) != 0) {
      return false;
    }
  }
  const SDL_Rect whole{0, 0, w.TextureWidth, w.TextureHeight};
  const PixelRect pixels = PixelsOfUnits({0, 0, w.TextureWidth, w.TextureHeight}, scale);
  const SDL_Rect shown{0, 0, pixels.Width, pixels.Height};
  SDL_SetRenderDrawColor(w.Renderer, 0, 0, 0, SDL_ALPHA_OPAQUE);
  if (SDL_RenderClear(w.Renderer) != 0 ||
      SDL_RenderCopy(w.Renderer, w.Texture, &whole, &shown) != 0) {
    return false;
  }
  SDL_RenderPresent(w.Renderer);
  return true;
}

// Sets up presenting along `path`. Returns false when the display does not offer it.
bool StartPresenting(Window& w, PresentPath path) {
  w.Path = path;
  if (path == PresentPath::WindowPixels) {
    return SDL_GetWindowSurface(w.Sdl) != nullptr;
  }
  w.Renderer = SDL_CreateRenderer(w.Sdl, -1, 0);
  return w.Renderer != nullptr;
}

}  // namespace

bool OpenWindow(Window& w, PresentPath path) {
  ChooseSdlSettings();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    return false;
  }
  w.Sdl = SDL_CreateWindow(Caption, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, StartWidth,
                           StartHeight,
                           SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN);
  if (w.Sdl == nullptr) {
    return false;
  }
  SetWindowIcon(w.Sdl);
  KeepDesignSizeOnScreen(w);
  // The way asked for where the display offers it, the other one otherwise.
  if (!StartPresenting(w, path) &&
      !StartPresenting(w, path == PresentPath::WindowPixels ? PresentPath::Renderer
                                                            : PresentPath::WindowPixels)) {
    return false;
  }
  // Shown only now: a renderer may have replaced the window SDL first made.
  SDL_ShowWindow(w.Sdl);
  // Keys arrive as key-down events only; no text input or input method is wanted.
  SDL_StopTextInput();
  return true;
}

void CloseWindow(Window& w) {
  SDL_FreeSurface(w.Staging);
  w.Staging = nullptr;
  w.Target = nullptr;  // owned by the window
  if (w.Renderer != nullptr) {
    SDL_DestroyRenderer(w.Renderer);  // and its texture
    w.Renderer = nullptr;
    w.Texture = nullptr;
  }
  if (w.Sdl != nullptr) {
    SDL_DestroyWindow(w.Sdl);
    w.Sdl = nullptr;
  }
  SDL_Quit();
}

int ReadWindowSize(Window& w) {
  SDL_GetWindowSize(w.Sdl, &w.PointSize.x, &w.PointSize.y);
  SDL_GetWindowSizeInPixels(w.Sdl, &w.PixelSize.x, &w.PixelSize.y);
  if (w.PointSize.x > 0 && w.PixelSize.x != w.PointSize.x) {
    return ScaleForPixelRatio(static_cast<double>(w.PixelSize.x) / w.PointSize.x);
  }
  return w.AnnouncedScale;
}

int DisplayRefreshHz(const Window& w) {
  SDL_DisplayMode mode{};
  return SDL_GetWindowDisplayMode(w.Sdl, &mode) == 0 ? mode.refresh_rate : 0;
}

PlatformState PlatformDescribe(Window& w) {
  const int scale = ReadWindowSize(w);
  // A renderer presents the whole window every time.
  return {.PresentsWhole = w.Path == PresentPath::Renderer,
          .RefreshHz = DisplayRefreshHz(w),
          .Width = w.PixelSize.x,
          .Height = w.PixelSize.y,
          .Scale = scale};
}

void PlatformResized(Window& w, const ClientArea& area, const Surface& surface) {
  if (w.Path == PresentPath::WindowPixels) {
    MatchTargetToWindow(w, area);
  } else {
    MatchTextureToSurface(w, surface);
  }
}

bool PlatformShowing(Window& w) {
  return (SDL_GetWindowFlags(w.Sdl) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

bool PlatformPresent(Window& w, const ClientArea& area, const Surface& surface,
                     const PixelRect* rects, int count) {
  if (TooLargeToPresent(w)) {
    return false;
  }
  return w.Path == PresentPath::WindowPixels
             ? PresentWindowPixels(w, area, surface, rects, count)
             : PresentThroughRenderer(w, area.Scale, surface, rects, count);
}
