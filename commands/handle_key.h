#pragma once

#include <array>
#include <cstdint>

#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// Virtual key codes the commands are bound to.
inline constexpr int16_t KeyEnter = 13;
inline constexpr int16_t KeyEscape = 27;
inline constexpr int16_t KeySpace = 32;
inline constexpr int16_t KeyPageUp = 33;
inline constexpr int16_t KeyPageDown = 34;
inline constexpr int16_t KeyLeft = 37;
inline constexpr int16_t KeyUp = 38;
inline constexpr int16_t KeyRight = 39;
inline constexpr int16_t KeyDown = 40;
inline constexpr int16_t KeyT = 84;
inline constexpr int16_t KeyPadPlus = 107;
inline constexpr int16_t KeyPadMinus = 109;

// Every key bound to a command, in the order of their codes. A window layer keeps these keys' usual
// meaning on its platform (scrolling a page, say) from acting as well.
inline constexpr std::array<int16_t, 12> CommandKeys = {
    KeyEnter, KeyEscape, KeySpace, KeyPageUp, KeyPageDown, KeyLeft,
    KeyUp,    KeyRight,  KeyDown,  KeyT,      KeyPadPlus,  KeyPadMinus,
};

constexpr bool IsCommandKey(int16_t code) {
  for (const int16_t key : CommandKeys) {
    if (key == code) {
      return true;
    }
  }
  return false;
}

enum class KeyOutcome { KeepRunning, EndProgram };

// Handler of a key press: carries out the key's command, then clears the surface and redraws the
// overlay, for every key but Escape, which ends the program at once.
KeyOutcome HandleKey(World& world, Surface& surface, Timers& timers, int16_t keyCode, int shift);
