#include "platform/desktop/key_codes.h"

#include <SDL2/SDL_mouse.h>

namespace {

// SDL's keycode as a label of the shared key table.
KeyLabel LabelOf(SDL_Keycode key) {
  // Letters come lower-case from SDL; the table takes either case.
  if ((key >= SDLK_a && key <= SDLK_z) || (key >= 'A' && key <= 'Z') ||
      (key >= SDLK_0 && key <= SDLK_9)) {
    return {.Name = KeyName::Character, .Character = static_cast<char>(key)};
  }
  if (key >= SDLK_F1 && key <= SDLK_F12) {
    return {.Name = KeyName::Function, .Number = static_cast<int>(key - SDLK_F1) + 1};
  }
  // The keypad digits 1..9 are contiguous but keypad 0 comes after them.
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
    return {.Name = KeyName::PadDigit, .Number = static_cast<int>(key - SDLK_KP_1) + 1};
  }

  switch (key) {
    case SDLK_BACKSPACE:
      return {.Name = KeyName::Backspace};
    case SDLK_TAB:
      return {.Name = KeyName::Tab};
    case SDLK_RETURN:
    case SDLK_RETURN2:
      return {.Name = KeyName::Enter};
    case SDLK_KP_ENTER:
      return {.Name = KeyName::PadEnter};
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return {.Name = KeyName::Shift};
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return {.Name = KeyName::Ctrl};
    case SDLK_LALT:
    case SDLK_RALT:
      return {.Name = KeyName::Alt};
    case SDLK_ESCAPE:
      return {.Name = KeyName::Escape};
    case SDLK_SPACE:
      return {.Name = KeyName::Space};
    case SDLK_PAGEUP:
      return {.Name = KeyName::PageUp};
    case SDLK_PAGEDOWN:
      return {.Name = KeyName::PageDown};
    case SDLK_END:
      return {.Name = KeyName::End};
    case SDLK_HOME:
      return {.Name = KeyName::Home};
    case SDLK_LEFT:
      return {.Name = KeyName::Left};
    case SDLK_UP:
      return {.Name = KeyName::Up};
    case SDLK_RIGHT:
      return {.Name = KeyName::Right};
    case SDLK_DOWN:
      return {.Name = KeyName::Down};
    case SDLK_INSERT:
      return {.Name = KeyName::Insert};
    case SDLK_DELETE:
      return {.Name = KeyName::Delete};
    case SDLK_KP_0:
      return {.Name = KeyName::PadDigit, .Number = 0};
    case SDLK_KP_MULTIPLY:
      return {.Name = KeyName::PadMultiply};
    case SDLK_KP_PLUS:
      return {.Name = KeyName::PadPlus};
    case SDLK_KP_MINUS:
      return {.Name = KeyName::PadMinus};
    case SDLK_KP_PERIOD:
      return {.Name = KeyName::PadPeriod};
    case SDLK_KP_DIVIDE:
      return {.Name = KeyName::PadDivide};
    default:
      return {};
  }
}

}  // namespace

int16_t VirtualKeyCode(SDL_Keycode key, bool numLock) {
  return KeyCodeForLabel(LabelOf(key), numLock);
}

int ShiftState(uint16_t modifiers) {
  return ShiftCode((modifiers & KMOD_SHIFT) != 0, (modifiers & KMOD_CTRL) != 0,
                   (modifiers & KMOD_ALT) != 0);
}

MouseButton MouseButtonOf(uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return MouseButton::Left;
    case SDL_BUTTON_RIGHT:
      return MouseButton::Right;
    case SDL_BUTTON_MIDDLE:
      return MouseButton::Middle;
    case SDL_BUTTON_X1:
      return MouseButton::Back;
    case SDL_BUTTON_X2:
      return MouseButton::Forward;
    default:
      return MouseButton::Other;
  }
}
