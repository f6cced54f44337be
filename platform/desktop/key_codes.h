#pragma once

#include <SDL2/SDL_keycode.h>

#include <cstdint>

#include "platform/key_table.h"

// The virtual key code the commands expect for a key, chosen by the key's label (its keycode, not
// its position), so a T key on any layout is 84. Keys without a code give 0, which no command uses.
// SDL names the keypad's keys the same whatever NumLock says; with NumLock off (KMOD_NUM clear in
// the modifiers) they are the navigation keys printed on them.
int16_t VirtualKeyCode(SDL_Keycode key, bool numLock = true);

// The shift state of SDL's modifier bits, as the shared key table counts it.
int ShiftState(uint16_t modifiers);

// SDL's mouse button as the shared table names it.
MouseButton MouseButtonOf(uint8_t button);
