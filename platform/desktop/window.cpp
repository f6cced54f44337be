#include "platform/desktop/window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/desktop/window_icon.h"

namespace {

// The surface's pixels are packed r + 256 g + 65536 b in 32 bits, the top byte unused.
constexpr Uint32 SurfaceFormat = SDL_PIXELFORMAT_XBGR8888;
constexpr int SurfacePixelBytes = 4;

// The pixel density a surface unit is meant for, and the scales believed, in quarters: desktops
// scale by steps of a quarter.
constexpr float DesignDpi = 96.0F;
constexpr int Unscaled = 4;
constexpr int SmallestScale = 5;  // below 1.25 a DPI is taken for an unscaled screen
constexpr int LargestScale = 16;  // beyond 4 a reported DPI is taken for a mistake

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
  // The window's own pixels are the display's native buffer, never SDL's texture stand-in for
  // one: where there is no native buffer the program picks its renderer itself, and a stand-in
  // would present the whole window every time.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The event loop paces the presents; a renderer waiting for the screen would hold up the timers.
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
  // A scaled picture stays crisp: each surface unit a block of whole pixels, never smoothed.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
}

// Reads the client area's size in window coordinates and in pixels, at one moment, and the scale
// they give: a desktop that scales windows itself (Wayland, macOS) makes a window coordinate
// several pixels, and may change that when the window moves to another screen.
void ReadWindowSize(Window& w) {
  SDL_GetWindowSize(w.Sdl, &w.PointSize.x, &w.PointSize.y);
  SDL_GetWindowSizeInPixels(w.Sdl, &w.PixelSize.x, &w.PixelSize.y);
  w.Scale = w.AnnouncedScale;
  if (w.PointSize.x > 0 && w.PixelSize.x != w.PointSize.x) {
    w.Scale =
        std::max(Unscaled, static_cast<int>(std::lround(4.0 * w.PixelSize.x / w.PointSize.x)));
  }
}

// How many surface units `pixels` device pixels show: every pixel shows one, the last perhaps in
// part.
int UnitsShownOn(int pixels, int scale) {
  return pixels > 0 ? UnitOfPixel(pixels - 1, scale) + 1 : 0;
}

bool TooLargeToPresent(const Window& w) {
  return w.PixelSize.x > MaxPresentedSide || w.PixelSize.y > MaxPresentedSide;
}

// On a desktop that scales windows itself (Wayland, macOS), window coordinates are already larger
// than pixels. On one that only announces a higher density (X11, where SDL reports the desktop's
// Xft.dpi setting, or else the monitor's own density), that density in the steps desktops scale by
// is the scale, and the window is grown by it, so it keeps its design size on the screen.
void KeepDesignSizeOnScreen(Window& w) {
  ReadWindowSize(w);
  float dpi = 0;
  if (w.PixelSize.x != w.PointSize.x ||
      SDL_GetDisplayDPI(SDL_GetWindowDisplayIndex(w.Sdl), nullptr, &dpi, nullptr) != 0) {
    return;
  }
  const auto scale = static_cast<int>(std::lround(dpi / DesignDpi * 4.0F));
  if (scale >= SmallestScale && scale <= LargestScale) {
    w.AnnouncedScale = scale;
    SDL_SetWindowSize(w.Sdl, FirstPixelOfUnit(StartWidth, scale),
                      FirstPixelOfUnit(StartHeight, scale));
    ReadWindowSize(w);
  }
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
  w.Source =
      SDL_CreateRGBSurfaceWithFormatFrom(surface.Pixels.data(), surface.Width, surface.Height, 32,
                                         surface.Width * SurfacePixelBytes, SurfaceFormat);
  return w.Source != nullptr;
}

// The changed rectangles as the pixels that show them at `scale`, clipped to `width` x `height`
// pixels from the top-left corner, into w.Uploaded. Returns how many are left.
int ClipChangedRects(Window& w, int width, int height, int scale) {
  int count = 0;
  for (int i = 0; i < w.Changed.Count; ++i) {
    const PixelRect& rect = w.Changed.Rects[static_cast<size_t>(i)];
    const int left = FirstPixelOfUnit(rect.X, scale);
    const int top = FirstPixelOfUnit(rect.Y, scale);
    const int right = std::min(FirstPixelOfUnit(rect.X + rect.Width, scale), width);
    const int bottom = std::min(FirstPixelOfUnit(rect.Y + rect.Height, scale), height);
    if (left < right && top < bottom) {
      w.Uploaded[count++] = {left, top, right - left, bottom - top};
      w.UploadedPixels += static_cast<int64_t>(right - left) * (bottom - top);
    }
  }
  return count;
}

// Fills the first rect.h rows of w.Staging with the scaled pixels that show `rect` of the window,
// each pixel the unit it lies in. Rows that show the same units as the row above are copies of
// it. Returns false when the rectangle shows units the surface no longer has.
bool StageScaledPixels(Window& w, const SDL_Rect& rect) {
  const SDL_Surface& source = *w.Source;
  if (UnitOfPixel(rect.x + rect.w - 1, w.Scale) >= source.w ||
      UnitOfPixel(rect.y + rect.h - 1, w.Scale) >= source.h) {
    return false;
  }
  const auto* units = static_cast<const Colour*>(source.pixels);
  auto* staged = static_cast<Colour*>(w.Staging->pixels);
  const auto sourceStride = static_cast<size_t>(source.pitch / SurfacePixelBytes);
  const auto stagedStride = static_cast<size_t>(w.Staging->pitch / SurfacePixelBytes);
  int previousUnitRow = -1;
  for (int row = 0; row < rect.h; ++row) {
    Colour* to = staged + static_cast<size_t>(row) * stagedStride;
    const int unitRow = UnitOfPixel(rect.y + row, w.Scale);
    if (unitRow == previousUnitRow) {
      std::memcpy(to, to - stagedStride, static_cast<size_t>(rect.w) * SurfacePixelBytes);
      continue;
    }
    // Along the row, the unit steps on at each unit's first pixel: no division per pixel.
    const Colour* from = units + static_cast<size_t>(unitRow) * sourceStride;
    int unit = UnitOfPixel(rect.x, w.Scale);
    int nextUnitAt = FirstPixelOfUnit(unit + 1, w.Scale);
    for (int x = 0; x < rect.w; ++x) {
      if (rect.x + x == nextUnitAt) {
        ++unit;
        nextUnitAt = FirstPixelOfUnit(unit + 1, w.Scale);
      }
      to[x] = from[static_cast<size_t>(unit)];
    }
    previousUnitRow = unitRow;
  }
  return true;
}

// Copies the surface's units that `to` in the window's pixels shows into them: straight across at
// scale 1, through the staging band otherwise. SDL converts to the window's pixel format.
bool CopyToWindowPixels(Window& w, SDL_Rect to) {
  if (w.Staging == nullptr) {
    SDL_Rect from = to;  // the blit writes back what it clipped
    return SDL_BlitSurface(w.Source, &from, w.Target, &to) == 0;
  }
  if (!StageScaledPixels(w, to)) {
    return false;
  }
  SDL_Rect from{0, 0, to.w, to.h};
  return SDL_BlitSurface(w.Staging, &from, w.Target, &to) == 0;
}

// At scales other than 1, a band of the window's width for StageScaledPixels, of about
// UploadBudget pixels; made anew with the window's pixels, so only after a resize.
bool MatchStagingToWindow(Window& w) {
  SDL_FreeSurface(w.Staging);
  w.Staging = nullptr;
  if (w.Scale == Unscaled) {
    return true;
  }
  const int rows =
      static_cast<int>(std::clamp<int64_t>(UploadBudget / w.Target->w, 1, w.Target->h));
  w.Staging = SDL_CreateRGBSurfaceWithFormat(0, w.Target->w, rows, 32, SurfaceFormat);
  return w.Staging != nullptr;
}

// Copies the next part of the present under way into the window's pixels and shows it: whole
// rectangles, or bands of rows of a large one, up to UploadBudget pixels. What is left of a
// rectangle stays in its place in w.Uploaded.
bool SendNextPart(Window& w) {
  int count = 0;
  int64_t pixels = 0;
  while (w.NextUpload < w.UploadCount && pixels < UploadBudget && count < MaxChangedRects) {
    SDL_Rect& rest = w.Uploaded[w.NextUpload];
    auto rows = static_cast<int>(std::clamp<int64_t>((UploadBudget - pixels) / rest.w, 1, rest.h));
    if (w.Staging != nullptr) {
      // A part ends between units where it can, so no unit is ever shown half old, half new.
      rows = std::min(rows, w.Staging->h);
      const int end = FirstPixelOfUnit(UnitOfPixel(rest.y + rows, w.Scale), w.Scale);
      if (rows < rest.h && end > rest.y) {
        rows = end - rest.y;
      }
    }
    const SDL_Rect part{rest.x, rest.y, rest.w, rows};
    w.Parts[count++] = part;
    pixels += static_cast<int64_t>(rest.w) * rows;
    rest.y += rows;
    rest.h -= rows;
    if (rest.h == 0) {
      ++w.NextUpload;
    }
    if (!CopyToWindowPixels(w, part)) {
      return false;
    }
  }
  return count == 0 || SDL_UpdateWindowSurfaceRects(w.Sdl, w.Parts, count) == 0;
}

// Marks what a present under way has not shown yet as changed again, and gives that present up.
void DropRestOfPresent(Window& w, Surface& surface) {
  for (int i = w.NextUpload; i < w.UploadCount; ++i) {
    const SDL_Rect& rest = w.Uploaded[i];
    MarkChanged(surface.Changed, UnitOfPixel(rest.x, w.Scale), UnitOfPixel(rest.y, w.Scale),
                UnitOfPixel(rest.x + rest.w - 1, w.Scale),
                UnitOfPixel(rest.y + rest.h - 1, w.Scale));
  }
  w.UploadCount = 0;
}

// Starts showing the changed rectangles in the window's pixels, and shows the first part.
bool PresentWindowPixels(Window& w, Surface& surface) {
  SDL_Surface* target = SDL_GetWindowSurface(w.Sdl);
  if (target == nullptr) {
    return false;
  }
  if (target != w.Target) {
    // New window pixels hold nothing yet, beyond the surface too.
    w.Target = target;
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    MarkAllChanged(surface.Changed);
    if (!MatchStagingToWindow(w)) {
      w.Target = nullptr;
      return false;
    }
  }
  if (!WrapSurfacePixels(w, surface)) {
    return false;
  }
  TakeChangedRects(surface.Changed, w.Changed);
  w.UploadCount = ClipChangedRects(w, target->w, target->h, w.Scale);
  w.NextUpload = 0;
  return SendNextPart(w);
}

// Makes the renderer's texture match the surface, as far as the renderer allows.
bool MatchTextureToSurface(Window& w, Surface& surface) {
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
  MarkAllChanged(surface.Changed);
  return true;
}

// Uploads the changed rectangles into the texture, then draws it, scaled to the pixels that show
// it, and shows the result.
bool PresentThroughRenderer(Window& w, Surface& surface) {
  if (!MatchTextureToSurface(w, surface)) {
    return false;
  }
  TakeChangedRects(surface.Changed, w.Changed);
  const int count = ClipChangedRects(w, w.TextureWidth, w.TextureHeight, Unscaled);
  for (int i = 0; i < count; ++i) {
    const SDL_Rect& rect = w.Uploaded[i];
    const Colour* from = surface.Pixels.data() +
                         static_cast<size_t>(rect.y) * static_cast<size_t>(surface.Width) +
                         static_cast<size_t>(rect.x);
    if (SDL_UpdateTexture(w.Texture, &rect, from, surface.Width * SurfacePixelBytes) != 0) {
      return false;
    }
  }
  const SDL_Rect whole{0, 0, w.TextureWidth, w.TextureHeight};
  const SDL_Rect shown{0, 0, FirstPixelOfUnit(w.TextureWidth, w.Scale),
                       FirstPixelOfUnit(w.TextureHeight, w.Scale)};
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
    w.Target = SDL_GetWindowSurface(w.Sdl);
    return w.Target != nullptr;
  }
  w.Renderer = SDL_CreateRenderer(w.Sdl, -1, 0);
  return w.Renderer != nullptr;
}

}  // namespace

bool OpenWindow(Window& w, Surface& surface, PresentPath path) {
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

  surface.Background = Black;
  MatchSurfaceToWindow(w, surface);
  PresentSurface(w, surface);
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

void MatchSurfaceToWindow(Window& w, Surface& surface) {
  ReadWindowSize(w);
  ResizeSurface(surface, UnitsShownOn(w.PixelSize.x, w.Scale),
                UnitsShownOn(w.PixelSize.y, w.Scale));
  // The window's picture is lost with a resize, whether or not the surface could follow, and so
  // are its pixels, which SDL makes anew (perhaps at the same address).
  MarkAllChanged(surface.Changed);
  w.Target = nullptr;
  w.UploadCount = 0;
}

bool PresentSurface(Window& w, Surface& surface) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSizeInPixels(w.Sdl, &width, &height);
  if (width != w.PixelSize.x || height != w.PixelSize.y) {
    // Resized, and the event has not been handled yet.
    MatchSurfaceToWindow(w, surface);
  }
  DropRestOfPresent(w, surface);
  const bool shown = !TooLargeToPresent(w) &&
                     (w.Path == PresentPath::WindowPixels ? PresentWindowPixels(w, surface)
                                                          : PresentThroughRenderer(w, surface));
  if (!shown) {
    // Whatever the window shows now, all of the surface is to be shown once it can be.
    MarkAllChanged(surface.Changed);
  }
  return shown;
}

bool PresentUnderWay(const Window& w) {
  return w.NextUpload < w.UploadCount;
}

bool ContinuePresent(Window& w, Surface& surface) {
  if (!PresentUnderWay(w)) {
    return false;
  }
  if (w.Target == nullptr || !WrapSurfacePixels(w, surface)) {
    DropRestOfPresent(w, surface);
    return false;
  }
  if (!SendNextPart(w)) {
    w.UploadCount = 0;
    MarkAllChanged(surface.Changed);
    return false;
  }
  return true;
}

bool WindowIsShowing(const Window& w) {
  return (SDL_GetWindowFlags(w.Sdl) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

ScreenPoint MouseToSurface(const Window& w, int x, int y) {
  if (w.PointSize.x <= 0 || w.PointSize.y <= 0) {
    return {static_cast<float>(x), static_cast<float>(y)};
  }
  // Window coordinates to pixels, then pixels to units: the surface lies on the window's pixels
  // from the top-left corner, each unit `Scale` quarters of a pixel across.
  const double unitsPerPixel = 4.0 / w.Scale;
  return {static_cast<float>(x * unitsPerPixel * w.PixelSize.x / w.PointSize.x),
          static_cast<float>(y * unitsPerPixel * w.PixelSize.y / w.PointSize.y)};
}
