#include "platform/desktop/window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/desktop/window_icon.h"

namespace {

// The surface's pixels are packed r + 256 g + 65536 b in 32 bits, the top byte unused.
constexpr Uint32 SurfaceFormat = SDL_PIXELFORMAT_XBGR8888;
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
    SDL_SetWindowSize(w.Sdl, FirstPixelOfUnit(StartWidth, w.AnnouncedScale),
                      FirstPixelOfUnit(StartHeight, w.AnnouncedScale));
  }
}

// Wraps the surface's pixel buffer for SDL without copying it. The buffer moves when the surface
// is resized, so this is redone then.
bool WrapSurfacePixels(Window& w, const Surface& surface) {
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
  // SDL only reads through it.
  void* pixels = const_cast<Colour*>(surface.Pixels.data());
  w.Source = SDL_CreateRGBSurfaceWithFormatFrom(pixels, surface.Width, surface.Height, 32,
                                                surface.Width * SurfacePixelBytes, SurfaceFormat);
  return w.Source != nullptr;
}

// At scales other than 1, a band of the window's width for StageScaledPixels, of about one part's
// pixels; made anew with the window's pixels, so only after a resize.
bool MatchStagingToWindow(Window& w, const Host& host) {
  SDL_FreeSurface(w.Staging);
  w.Staging = nullptr;
  if (host.Scale == Unscaled || w.Target->w <= 0) {
    return true;
  }
  const int rows =
      static_cast<int>(std::clamp<int64_t>(host.PartPixels / w.Target->w, 1, w.Target->h));
  w.Staging = SDL_CreateRGBSurfaceWithFormat(0, w.Target->w, rows, 32, SurfaceFormat);
  return w.Staging != nullptr;
}

// Takes the window's pixels SDL made for its present size. They come from the system zeroed, that
// is black, and the surface covers them all (every pixel shows a unit), so they are never filled
// here: on a huge window that alone would hold the timers up. Only where the surface could not
// grow with the window does the part beyond it get its black.
bool MatchTargetToWindow(Window& w, const Host& host, const Surface& surface) {
  w.Target = SDL_GetWindowSurface(w.Sdl);
  if (w.Target == nullptr) {
    return false;
  }
  const int right = FirstPixelOfUnit(surface.Width, host.Scale);
  const int bottom = FirstPixelOfUnit(surface.Height, host.Scale);
  const Uint32 black = SDL_MapRGB(w.Target->format, 0, 0, 0);
  if (right < w.Target->w) {
    const SDL_Rect beside{right, 0, w.Target->w - right, w.Target->h};
    SDL_FillRect(w.Target, &beside, black);
  }
  if (bottom < w.Target->h) {
    const SDL_Rect below{0, bottom, w.Target->w, w.Target->h - bottom};
    SDL_FillRect(w.Target, &below, black);
  }
  return MatchStagingToWindow(w, host);
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

// Fills the first rect.h rows of w.Staging with the scaled pixels that show `rect` of the window,
// each pixel the unit it lies in. Rows that show the same units as the row above are copies of it.
void StageScaledPixels(Window& w, const SDL_Rect& rect, int scale) {
  const SDL_Surface& source = *w.Source;
  const auto* units = static_cast<const Colour*>(source.pixels);
  auto* staged = static_cast<Colour*>(w.Staging->pixels);
  const auto sourceStride = static_cast<size_t>(source.pitch / SurfacePixelBytes);
  const auto stagedStride = static_cast<size_t>(w.Staging->pitch / SurfacePixelBytes);
  int previousUnitRow = -1;
  for (int row = 0; row < rect.h; ++row) {
    Colour* to = staged + static_cast<size_t>(row) * stagedStride;
    const int unitRow = UnitOfPixel(rect.y + row, scale);
    if (unitRow == previousUnitRow) {
      std::memcpy(to, to - stagedStride, static_cast<size_t>(rect.w) * SurfacePixelBytes);
      continue;
    }
    // Along the row, the unit steps on at each unit's first pixel: no division per pixel.
    const Colour* from = units + static_cast<size_t>(unitRow) * sourceStride;
    int unit = UnitOfPixel(rect.x, scale);
    int nextUnitAt = FirstPixelOfUnit(unit + 1, scale);
    for (int x = 0; x < rect.w; ++x) {
      if (rect.x + x == nextUnitAt) {
        ++unit;
        nextUnitAt = FirstPixelOfUnit(unit + 1, scale);
      }
      to[x] = from[static_cast<size_t>(unit)];
    }
    previousUnitRow = unitRow;
  }
}

// Copies the surface's units that `to` in the window's pixels shows into them: straight across at
// scale 1, otherwise through the staging band, a band of rows at a time. SDL converts to the
// window's pixel format.
bool CopyToWindowPixels(Window& w, const SDL_Rect& to, int scale) {
  if (w.Staging == nullptr) {
    SDL_Rect from = to;  // the blit writes back what it clipped
    SDL_Rect at = to;
    return SDL_BlitSurface(w.Source, &from, w.Target, &at) == 0;
  }
  for (int y = to.y; y < to.y + to.h; y += w.Staging->h) {
    SDL_Rect band{to.x, y, to.w, std::min(w.Staging->h, to.y + to.h - y)};
    StageScaledPixels(w, band, scale);
    SDL_Rect from{0, 0, band.w, band.h};
    if (SDL_BlitSurface(w.Staging, &from, w.Target, &band) != 0) {
      return false;
    }
  }
  return true;
}

// Copies the rectangles into the window's pixels and shows them.
bool PresentWindowPixels(Window& w, const Host& host, const Surface& surface, const UnitRect* rects,
                         int count) {
  // SDL makes the window's pixels anew after a resize the host has not applied yet: they hold
  // nothing, so all of the surface is to be shown on them.
  if (SDL_GetWindowSurface(w.Sdl) != w.Target) {
    MatchTargetToWindow(w, host, surface);
    return false;
  }
  if (w.Target == nullptr || !WrapSurfacePixels(w, surface)) {
    return false;
  }
  int shown = 0;
  for (int i = 0; i < count; ++i) {
    const PixelRect pixels = PixelsOfUnits(rects[i], host.Scale);
    const int right = std::min(pixels.X + pixels.Width, w.Target->w);
    const int bottom = std::min(pixels.Y + pixels.Height, w.Target->h);
    if (pixels.X >= right || pixels.Y >= bottom) {
      continue;
    }
    const SDL_Rect to{pixels.X, pixels.Y, right - pixels.X, bottom - pixels.Y};
    if (!CopyToWindowPixels(w, to, host.Scale)) {
      return false;
    }
    w.Shown[shown++] = to;
  }
  return shown == 0 || SDL_UpdateWindowSurfaceRects(w.Sdl, w.Shown, shown) == 0;
}

// Uploads the rectangles into the texture, then draws it, scaled to the pixels that show it, and
// shows the result.
bool PresentThroughRenderer(Window& w, const Host& host, const Surface& surface,
                            const UnitRect* rects, int count) {
  if (w.Texture == nullptr) {
    return false;
  }
  for (int i = 0; i < count; ++i) {
    const UnitRect& rect = rects[i];
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
  const PixelRect pixels = PixelsOfUnits({0, 0, w.TextureWidth, w.TextureHeight}, host.Scale);
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

bool OpenWindow(Window& w, Host& host, PresentPath path) {
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
  // A renderer presents the whole window every time, so a present is never split into parts.
  if (w.Path == PresentPath::Renderer) {
    host.PartPixels = INT64_MAX;
  }
  // Shown only now: a renderer may have replaced the window SDL first made.
  SDL_ShowWindow(w.Sdl);
  // Keys arrive as key-down events only; no text input or input method is wanted.
  SDL_StopTextInput();

  const int scale = ReadWindowSize(w);
  HostResized(host, w.PixelSize.x, w.PixelSize.y, scale);
  HostRefreshRate(host, DisplayRefreshHz(w));
  return true;
}

void CloseWindow(Window& w) {
  SDL_FreeSurface(w.Source);
  w.Source = nullptr;
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

void PlatformResized(Window& w, const Host& host, const Surface& surface) {
  WrapSurfacePixels(w, surface);
  if (w.Path == PresentPath::WindowPixels) {
    MatchTargetToWindow(w, host, surface);
  } else {
    MatchTextureToSurface(w, surface);
  }
}

bool PlatformShowing(Window& w) {
  return (SDL_GetWindowFlags(w.Sdl) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

bool PlatformPresent(Window& w, const Host& host, const Surface& surface, const UnitRect* rects,
                     int count) {
  if (TooLargeToPresent(w)) {
    return false;
  }
  return w.Path == PresentPath::WindowPixels
             ? PresentWindowPixels(w, host, surface, rects, count)
             : PresentThroughRenderer(w, host, surface, rects, count);
}
