#include "platform/key_table.h"

#include <array>
#include <cstddef>

#include "commands/handle_key.h"

namespace {

// Virtual key codes the commands do not use, but keys still report.
constexpr int16_t KeyBackspace = 8;
constexpr int16_t KeyTab = 9;
constexpr int16_t KeyClear = 12;
constexpr int16_t KeyShift = 16;
constexpr int16_t KeyCtrl = 17;
constexpr int16_t KeyAlt = 18;
constexpr int16_t KeyEnd = 35;
constexpr int16_t KeyHome = 36;
constexpr int16_t KeyInsert = 45;
constexpr int16_t KeyDelete = 46;
constexpr int16_t KeyPad0 = 96;
constexpr int16_t KeyPadMultiply = 106;
constexpr int16_t KeyPadDecimal = 110;
constexpr int16_t KeyPadDivide = 111;
constexpr int16_t KeyF1 = 112;
constexpr int MaxFunctionKey = 12;

// The keypad's digits with NumLock off, by digit: the navigation key printed beside each.
constexpr std::array<int16_t, 10> PadNavigation = {
    KeyInsert, KeyEnd, KeyDown, KeyPageDown, KeyLeft, KeyClear, KeyRight, KeyHome, KeyUp, KeyPageUp,
};

int16_t CharacterCode(char c) {
  if (c >= 'a' && c <= 'z') {
    return static_cast<int16_t>(c - 'a' + 'A');
  }
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
    return static_cast<int16_t>(c);
  }
  return 0;
}

int16_t PadDigitCode(int digit, bool numLock) {
  if (digit < 0 || digit > 9) {
    return 0;
  }
  return numLock ? static_cast<int16_t>(KeyPad0 + digit)
                 : PadNavigation[static_cast<size_t>(digit)];
}

}  // namespace

int16_t KeyCodeForLabel(const KeyLabel& key, bool numLock) {
  switch (key.Name) {
    case KeyName::Character:
      return CharacterCode(key.Character);
    case KeyName::Function:
      return key.Number >= 1 && key.Number <= MaxFunctionKey
                 ? static_cast<int16_t>(KeyF1 + key.Number - 1)
                 : int16_t{0};
    case KeyName::Backspace:
      return KeyBackspace;
    case KeyName::Tab:
      return KeyTab;
    case KeyName::Enter:
    case KeyName::PadEnter:
      return KeyEnter;
    case KeyName::Shift:
      return KeyShift;
    case KeyName::Ctrl:
      return KeyCtrl;
    case KeyName::Alt:
      return KeyAlt;
    case KeyName::Escape:
      return KeyEscape;
    case KeyName::Space:
      return KeySpace;
    case KeyName::PageUp:
      return KeyPageUp;
    case KeyName::PageDown:
      return KeyPageDown;
    case KeyName::End:
      return KeyEnd;
    case KeyName::Home:
      return KeyHome;
    case KeyName::Left:
      return KeyLeft;
    case KeyName::Up:
      return KeyUp;
    case KeyName::Right:
      return KeyRight;
    case KeyName::Down:
      return KeyDown;
    case KeyName::Insert:
      return KeyInsert;
    case KeyName::Delete:
      return KeyDelete;
    case KeyName::PadDigit:
      return PadDigitCode(key.Number, numLock);
    case KeyName::PadMultiply:
      return KeyPadMultiply;
    case KeyName::PadPlus:
      return KeyPadPlus;
    case KeyName::PadMinus:
      return KeyPadMinus;
    case KeyName::PadPeriod:
      return numLock ? KeyPadDecimal : KeyDelete;
    case KeyName::PadDivide:
      return KeyPadDivide;
    case KeyName::Unknown:
      return 0;
  }
  return 0;
}

int ShiftCode(bool shift, bool ctrl, bool alt) {
  return (shift ? 1 : 0) + (ctrl ? 2 : 0) + (alt ? 4 : 0);
}

int MouseButtonCode(MouseButton button) {
  switch (button) {
    case MouseButton::Left:
      return 1;
    case MouseButton::Right:
      return 2;
    case MouseButton::Middle:
      return 4;
    case MouseButton::Back:
      return KeyBackspace;
    case MouseButton::Forward:
      return KeyShift;
    case MouseButton::Other:
      return 0;
  }
  return 0;
}
