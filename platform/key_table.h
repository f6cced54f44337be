#pragma once

#include <cstdint>

// The keys a window layer can report, named by their label. The layers whose platform names keys
// otherwise describe a key press this way (the desktop from SDL's keycodes, the browser from
// KeyboardEvent's key and code), and this one table turns the description into the virtual key
// code the commands expect, so they agree on every code. Windows' own key messages carry these
// codes already.
enum class KeyName : uint8_t {
  Unknown,
  Character,  // a letter A..Z or a digit 0..9 of the main block; `Character` holds it
  Function,   // F1..F12; `Number` holds 1..12
  Backspace,
  Tab,
  Enter,
  Shift,
  Ctrl,
  Alt,
  Escape,
  Space,
  PageUp,
  PageDown,
  End,
  Home,
  Left,
  Up,
  Right,
  Down,
  Insert,
  Delete,
  PadDigit,  // keypad 0..9; `Number` holds the digit
  PadMultiply,
  PadPlus,
  PadMinus,
  PadPeriod,
  PadDivide,
  PadEnter,
};

struct KeyLabel {
  KeyName Name = KeyName::Unknown;
  char Character = 0;  // for KeyName::Character: 'A'..'Z' or '0'..'9', either case of a letter
  int Number = 0;      // for KeyName::Function and KeyName::PadDigit
};

// The virtual key code of a key, 0 for keys without one (no command uses 0). With NumLock off the
// keypad's digit and period keys are the navigation keys printed beside them: 8, 4, 6 and 2 the
// arrows, 9 and 3 Page Up and Page Down, 7 Home, 1 End, 0 Insert, the period Delete and 5 the
// clear key (12).
int16_t KeyCodeForLabel(const KeyLabel& key, bool numLock);

// The mouse buttons a window layer can report, and the code handed to the seeding for each: 1 left,
// 2 right, 4 middle, 8 and 16 the side buttons (back and forward), 0 for any other.
enum class MouseButton : uint8_t { Other, Left, Right, Middle, Back, Forward };
int MouseButtonCode(MouseButton button);

// The shift state a window layer hands on with every key press and mouse-button release: 1 for
// Shift, 2 for Ctrl, 4 for Alt, added together. The commands and the seeding take it, as handlers
// of those events do, but neither acts on it.
int ShiftCode(bool shift, bool ctrl, bool alt);
