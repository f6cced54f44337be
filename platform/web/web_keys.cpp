#include "platform/web/web_keys.h"

#include <array>
#include <string_view>

namespace {

struct NamedKey {
  std::string_view Text;
  KeyName Name;
};

// KeyboardEvent.key of the named keys outside the keypad.
constexpr std::array<NamedKey, 18> NamedKeys = {{
    {"Backspace", KeyName::Backspace},
    {"Tab", KeyName::Tab},
    {"Enter", KeyName::Enter},
    {"Shift", KeyName::Shift},
    {"Control", KeyName::Ctrl},
    {"Alt", KeyName::Alt},
    {"Escape", KeyName::Escape},
    {" ", KeyName::Space},
    {"PageUp", KeyName::PageUp},
    {"PageDown", KeyName::PageDown},
    {"End", KeyName::End},
    {"Home", KeyName::Home},
    {"ArrowLeft", KeyName::Left},
    {"ArrowUp", KeyName::Up},
    {"ArrowRight", KeyName::Right},
    {"ArrowDown", KeyName::Down},
    {"Insert", KeyName::Insert},
    {"Delete", KeyName::Delete},
}};

// KeyboardEvent.code of the keypad keys that are not digits.
constexpr std::array<NamedKey, 6> PadKeys = {{
    {"NumpadDecimal", KeyName::PadPeriod},
    {"NumpadMultiply", KeyName::PadMultiply},
    {"NumpadAdd", KeyName::PadPlus},
    {"NumpadSubtract", KeyName::PadMinus},
    {"NumpadDivide", KeyName::PadDivide},
    {"NumpadEnter", KeyName::PadEnter},
}};

constexpr std::string_view PadPrefix = "Numpad";

template <size_t N>
KeyName Find(const std::array<NamedKey, N>& keys, std::string_view text) {
  for (const NamedKey& named : keys) {
    if (named.Text == text) {
      return named.Name;
    }
  }
  return KeyName::Unknown;
}

bool IsLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// "KeyT" is T and "Digit5" is 5, wherever the layout puts them.
KeyLabel ByPosition(std::string_view code) {
  const bool letter = code.size() == 4 && code.starts_with("Key");
  const bool digit = code.size() == 6 && code.starts_with("Digit");
  if ((letter || digit) && IsLetterOrDigit(code.back())) {
    return {.Name = KeyName::Character, .Character = code.back()};
  }
  return {};
}

KeyLabel Function(std::string_view key) {
  if (key.size() < 2 || key.size() > 3 || key[0] != 'F') {
    return {};
  }
  int number = 0;
  for (const char c : key.substr(1)) {
    if (c < '0' || c > '9') {
      return {};
    }
    number = number * 10 + (c - '0');
  }
  return {.Name = KeyName::Function, .Number = number};
}

WebKey Keypad(std::string_view key, std::string_view code) {
  // Only keys that change meaning with NumLock say anything about it.
  const bool numLock = key.size() == 1;
  const std::string_view rest = code.substr(PadPrefix.size());
  if (rest.size() == 1 && rest[0] >= '0' && rest[0] <= '9') {
    return {.Label = {.Name = KeyName::PadDigit, .Number = rest[0] - '0'}, .NumLock = numLock};
  }
  return {.Label = {.Name = Find(PadKeys, code)}, .NumLock = numLock};
}

}  // namespace

WebKey DescribeWebKey(const char* key, const char* code) {
  const std::string_view keyText = key == nullptr ? "" : key;
  const std::string_view codeText = code == nullptr ? "" : code;

  if (codeText.starts_with(PadPrefix)) {
    return Keypad(keyText, codeText);
  }
  if (keyText.size() == 1 && IsLetterOrDigit(keyText[0])) {
    return {.Label = {.Name = KeyName::Character, .Character = keyText[0]}};
  }
  if (const KeyName name = Find(NamedKeys, keyText); name != KeyName::Unknown) {
    return {.Label = {.Name = name}};
  }
  if (const KeyLabel function = Function(keyText); function.Name != KeyName::Unknown) {
    return {.Label = function};
  }
  return {.Label = ByPosition(codeText)};
}
