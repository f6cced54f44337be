#include "platform/desktop/key_codes.h"

#include <SDL2/SDL_mouse.h>

#include "commands/handle_key.h"

int16_t VirtualKeyCode(SDL_Keycode key) {
  // Letters are case-insensitive: both 'a' and 'A' are 65.
  if (key >= SDLK_a && key <= SDLK_z) {
    return static_cast<int16_t>(key - SDLK_a + 'A');
  }
  if (key >= 'A' && key <= 'Z') {
    return static_cast<int16_t>(key);
  }
  if (key >= SDLK_0 && key <= SDLK_9) {
    return static_cast<int16_t>(key - SDLK_0 + '0');
  }
  if (key >= SDLK_F1 && key <= SDLK_F12) {
    return static_cast<int16_t>(key - SDLK_F1 + 112);
  }
  // The keypad digits 1..9 are contiguous but keypad 0 comes after them.
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
    return static_cast<int16_t>(key - SDLK_KP_1 + 97);
  }

  switch (key) {
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
      return KeyEnter;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return 17;
    case SDLK_LALT:
    case SDLK_RALT:
      return 18;
    case SDLK_ESCAPE:
      return KeyEscape;
    case SDLK_SPACE:
      return KeySpace;
    case SDLK_PAGEUP:
      return KeyPageUp;
    case SDLK_PAGEDOWN:
      return KeyPageDown;
    case SDLK_END:
      return 35;
    case SDLK_HOME:
      return 36;
    case SDLK_LEFT:
      return KeyLeft;
    case SDLK_UP:
      return KeyUp;
    case SDLK_RIGHT:
      return KeyRight;
    case SDLK_DOWN:
      return KeyDown;
    case SDLK_INSERT:
      return 45;
    case SDLK_DELETE:
      return 46;
    case SDLK_KP_0:
      return 96;
    case SDLK_KP_MULTIPLY:
      return 106;
    case SDLK_KP_PLUS:
      return KeyPadPlus;
    case SDLK_KP_MINUS:
      return KeyPadMinus;
    case SDLK_KP_PERIOD:
      return 110;
    case SDLK_KP_DIVIDE:
      return 111;
    default:
      return 0;
  }
}

int ShiftState(uint16_t modifiers) {
  int shift = 0;
  if ((modifiers & KMOD_SHIFT) != 0) {
    shift += 1;
  }
  if ((modifiers & KMOD_CTRL) != 0) {
    shift += 2;
  }
  if ((modifiers & KMOD_ALT) != 0) {
    shift += 4;
  }
  return shift;
}

int MouseButtonCode(uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
    case SDL_BUTTON_MIDDLE:
      return 4;
    case SDL_BUTTON_X1:
      return 8;
    case SDL_BUTTON_X2:
      return 16;
    default:
      return 0;
  }
}
