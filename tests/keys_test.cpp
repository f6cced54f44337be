#include <gtest/gtest.h>

#include <cstdint>

#include "commands/handle_key.h"
#include "platform/key_table.h"
#include "platform/web/web_keys.h"

// The browser describes a key by what it means (KeyboardEvent.key) and where it sits (.code); both
// window layers must reach the same codes through the shared table.
TEST(KeyCodes, BrowserKeysGetTheSameCodesAsTheDesktop) {
  struct Case {
    const char* Key;
    const char* Code;
    int16_t Expected;
  };
  const Case cases[] = {
      {"t", "KeyT", KeyT},
      {"T", "KeyT", KeyT},
      {"t", "KeyK", KeyT},         // a layout with T where QWERTY has K
      {"\xd0\xb5", "KeyT", KeyT},  // a Cyrillic letter on the T key
      {"%", "Digit5", '5'},        // a shifted digit
      {"Enter", "Enter", KeyEnter},
      {"Enter", "NumpadEnter", KeyEnter},
      {"Escape", "Escape", KeyEscape},
      {" ", "Space", KeySpace},
      {"ArrowLeft", "ArrowLeft", KeyLeft},
      {"PageDown", "PageDown", KeyPageDown},
      {"F5", "F5", 116},
      {"+", "NumpadAdd", KeyPadPlus},
      {"-", "NumpadSubtract", KeyPadMinus},
      {"-", "Minus", 0},  // the main row's minus does not zoom
      {"4", "Numpad4", 100},
      {"ArrowLeft", "Numpad4", KeyLeft},  // NumLock off
      {"PageUp", "Numpad9", KeyPageUp},
      {"Clear", "Numpad5", 12},
      {".", "NumpadDecimal", 110},
      {"Delete", "NumpadDecimal", 46},
      {"Dead", "Quote", 0},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    const WebKey key = DescribeWebKey(c.Key, c.Code);
    EXPECT_EQ(KeyCodeForLabel(key.Label, key.NumLock), c.Expected) << c.Key << " " << c.Code;
  }
}

TEST(KeyCodes, CommandKeysAreTheTwelveBoundOnes) {
  int bound = 0;
  for (int code = INT16_MIN; code <= INT16_MAX; ++code) {
    bound += IsCommandKey(static_cast<int16_t>(code)) ? 1 : 0;
  }
  EXPECT_EQ(bound, 12);
}
