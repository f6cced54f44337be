#pragma once

#include <SDL2/SDL_video.h>

// Gives the window the program's icon, for taskbars and window switchers that do not find it
// through the desktop entry. The picture is built into the program; nothing is read from disk.
// Without it the window simply keeps the desktop's default icon.
void SetWindowIcon(SDL_Window* window);
