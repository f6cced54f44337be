#include "platform/desktop/window_icon.h"

#include <SDL2/SDL.h>

#include "platform/desktop/window_icon_pixels.h"

void SetWindowIcon(SDL_Window* window) {
  // SDL only reads the pixels, and copies them before this returns.
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(WindowIconPixels), WindowIconSize, WindowIconSize, 32,
      WindowIconSize * static_cast<int>(sizeof WindowIconPixels[0]), SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) {
    return;
  }
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}
