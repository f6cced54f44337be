#pragma once

#include "platform/key_table.h"

// A browser's key press described for the shared key table. `key` is KeyboardEvent.key, what the
// key means on the user's layout ("t", "T", "ArrowLeft", "-"), and `code` is KeyboardEvent.code,
// where it sits ("KeyT", "Numpad4", "NumpadSubtract").
struct WebKey {
  KeyLabel Label;
  bool NumLock = true;
};

// Letters, digits and named keys go by `key`, so a T on any layout is T; a letter or digit whose
// `key` is something else (a shifted digit, a letter of another script) goes by `code`. Keypad keys
// go by `code`, which tells them from the main block, and their `key` says whether NumLock is on:
// a character with it, a navigation key name ("ArrowLeft", "Home") without.
WebKey DescribeWebKey(const char* key, const char* code);
