#include "platform/desktop/key_codes.h"

#include <SDL2/SDL_mouse.h>

#include <iterator>

namespace {

// The keys that are named rather than written, and the keypad's other than its digits.
struct NamedKey {
  SDL_Keycode Key;
  KeyName Name;
};
// clang-format off
constexpr NamedKey NamedKeys[] = {
    {SDLK_BACKSPACE, KeyName::Backspace}, {SDLK_TAB, KeyName::Tab},
    {SDLK_RETURN, KeyName::Enter},        {SDLK_RETURN2, KeyName::Enter},
    {SDLK_KP_ENTER, KeyName::PadEnter},   {SDLK_LSHIFT, KeyName::Shift},
    {SDLK_RSHIFT, KeyName::Shift},        {SDLK_LCTRL, KeyName::Ctrl},
    {SDLK_RCTRL, KeyName::Ctrl},          {SDLK_LALT, KeyName::Alt},
    {SDLK_RALT, KeyName::Alt},            {SDLK_ESCAPE, KeyName::Escape},
    {SDLK_SPACE, KeyName::Space},         {SDLK_PAGEUP, KeyName::PageUp},
    {SDLK_PAGEDOWN, KeyName::PageDown},   {SDLK_END, KeyName::End},
    {SDLK_HOME, KeyName::Home},           {SDLK_LEFT, KeyName::Left},
    {SDLK_UP, KeyName::Up},               {SDLK_RIGHT, KeyName::Right},
    {SDLK_DOWN, KeyName::Down},           {SDLK_INSERT, KeyName::Insert},
    {SDLK_DELETE, KeyName::Delete},       {SDLK_KP_MULTIPLY, KeyName::PadMultiply},
    {SDLK_KP_PLUS, KeyName::PadPlus},     {SDLK_KP_MINUS, KeyName::PadMinus},
    {SDLK_KP_PERIOD, KeyName::PadPeriod}, {SDLK_KP_DIVIDE, KeyName::PadDivide}};
// clang-format on

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
  if (key == SDLK_KP_0) {
    return {.Name = KeyName::PadDigit, .Number = 0};
  }
  for (const NamedKey& named : NamedKeys) {
    if (named.Key == key) {
      return {.Name = named.Name};
    }
  }
  return {};
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
  // By SDL's numbers: 1 left, 2 middle, 3 right, 4 and 5 the side buttons.
  constexpr MouseButton ByNumber[] = {MouseButton::Other, MouseButton::Left, MouseButton::Middle,
                                      MouseButton::Right, MouseButton::Back, MouseButton::Forward};
  return button < std::size(ByNumber) ? ByNumber[button] : MouseButton::Other;
}
