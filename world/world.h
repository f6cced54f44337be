#pragma once

#include <array>
#include <cstdint>

// The whole state of the program: 81 bodies, the recorded history, the view, the trails flag and
// the record countdown. One instance lives for the lifetime of the window; every handler works on
// it directly. Which mode runs, simulation or playback, is which timer is enabled (view/timers.h).

inline constexpr int BodyCount = 81;            // bodies 0..80, always visited in ascending order
inline constexpr double WorldHalfSize = 10000;  // the world is the square -10000..10000, wrapping
inline constexpr double WorldSize = 2 * WorldHalfSize;
inline constexpr int HistorySlots = 3001;  // slots 0..3000; slot 0 normally stays empty
inline constexpr int LastSlot = HistorySlots - 1;
inline constexpr int RecordPeriod = 21;  // ticks from one record to the next
inline constexpr int16_t MinZoom = 1;
inline constexpr int16_t MaxZoom = 150;
inline constexpr int16_t MaxOffset = 10000;

// Flags are 16-bit integers: true is -1, false is 0, and any non-zero value reads as true.
inline constexpr int16_t True = -1;
inline constexpr int16_t False = 0;

using BodyDoubles = std::array<double, BodyCount>;
using BodyFloats = std::array<float, BodyCount>;
using BodyIntegers = std::array<int16_t, BodyCount>;
// Slot-major: cell (slot, body) is element [slot][body], at position slot * 81 + body.
using HistoryCells = std::array<BodyIntegers, HistorySlots>;

struct World {
  BodyDoubles PosX{};  // world units
  BodyDoubles PosY{};  // world units, y grows downwards on the surface
  BodyFloats VelX{};   // world units per tick
  BodyFloats VelY{};
  BodyFloats Mass{};      // also sets the drawn radius, Mass + 1
  BodyIntegers ColorR{};  // 0..255
  BodyIntegers ColorG{};
  BodyIntegers ColorB{};
  HistoryCells HistX{};    // recorded x, rounded to whole world units
  HistoryCells HistY{};    // recorded y
  HistoryCells HistBig{};  // True for a body of mass 3 or more when recorded
  int16_t TickCounter =
      0;  // simulation: countdown 20..0 to the next record; playback: frame 1..3000
  int16_t RecordIndex = 0;  // the slot the next records go to, 0..3001
  int16_t Zoom = 0;         // world units per surface unit, 1..150
  int16_t OffsetX = 0;      // view offset in world units: a pan stops at +-10000 (MaxOffset) on its
                            // side, centring on a body can put it anywhere in the 16-bit range
  int16_t OffsetY = 0;
  int16_t Selected = 0;  // body the centring keys act on, 0..80
  int16_t EraseOld = False;
};

// Handler of the window's load event, run once before the first timer firing.
void StartUp(World& world);
