// Reads its input as a script of window events and runs them through the program's entry points,
// as a window layer does, checking the world's invariants after every event. Escape ends the
// program; the script then goes on in a newly started one.
//
// Script: a sequence of events, each an opcode byte followed by its operands (missing operand
// bytes read as zero):
//   0  key press, any 16-bit key code            (2 bytes)
//   1  key press, one of the bound keys          (1 byte)
//   2  mouse release at any float position       (1 byte button, 4 bytes x, 4 bytes y)
//   3  mouse release on a pixel of the surface   (1 byte button, 2 bytes x, 2 bytes y)
//   4  window resize                             (2 bytes width, 2 bytes height)
//   5  one millisecond passes, with the firings it brings
//   6  a run of milliseconds                     (1 byte: count / 4)
//   7  recorder late in the run, as after a long session (1 byte)

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "commands/handle_key.h"
#include "program/program.h"
#include "world/rounding.h"
#include "world/world.h"

namespace {

constexpr int MaxFiringsPerInput = 4000;  // keeps one input well under a second

// The seeding reseeds from the clock; a fixed script of draws makes every input replay exactly.
// One seeding draws at most 731 numbers, so the script lasts for over a hundred seedings.
constexpr size_t ScriptLength = 100'000;
const std::array<float, ScriptLength>& Draws() {
  static const auto draws = [] {
    std::array<float, ScriptLength> values{};
    uint32_t state = 12345;
    for (float& value : values) {
      state = state * 1664525U + 1013904223U;
      value = static_cast<float>(state >> 8) * 0x1p-24F;
    }
    return values;
  }();
  return draws;
}

struct Reader {
  const uint8_t* Data;
  size_t Size;
  size_t At = 0;

  bool Done() const { return At >= Size; }
  uint8_t Byte() { return At < Size ? Data[At++] : 0; }
  uint16_t Word() {
    const int low = Byte();
    const int high = Byte();
    return static_cast<uint16_t>(low | (high << 8));
  }
  float Float() {
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits |= static_cast<uint32_t>(Byte()) << (8 * k);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
};

void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// What a key did to the offsets: centring sets them to the selected body's negated position,
// rounded and saturated; an arrow never leaves its offset beyond the limit in the direction it
// moves, and keeps the other; every other key leaves both alone. Only centring can put an offset
// beyond -10000..10000.
void CheckOffsets(const World& world, int16_t key, int16_t oldX, int16_t oldY) {
  const auto body = static_cast<size_t>(world.Selected);
  switch (key) {
    case KeySpace:
    case KeyPageUp:
    case KeyPageDown:
      if (world.OffsetX != RoundToInteger(-world.PosX[body]) ||
          world.OffsetY != RoundToInteger(-world.PosY[body])) {
        Fail("centring sets the offsets to the body's rounded negated position");
      }
      return;
    case KeyLeft:
    case KeyRight:
      if (world.OffsetY != oldY) Fail("a horizontal pan keeps OffsetY");
      if (key == KeyLeft ? world.OffsetX > MaxOffset : world.OffsetX < -MaxOffset) {
        Fail("a horizontal pan stops at its limit");
      }
      return;
    case KeyUp:
    case KeyDown:
      if (world.OffsetX != oldX) Fail("a vertical pan keeps OffsetX");
      if (key == KeyUp ? world.OffsetY > MaxOffset : world.OffsetY < -MaxOffset) {
        Fail("a vertical pan stops at its limit");
      }
      return;
    default:
      if (world.OffsetX != oldX || world.OffsetY != oldY) Fail("other keys keep the offsets");
  }
}

void CheckInvariants(const World& world, const Timers& timers) {
  if (world.Zoom < MinZoom || world.Zoom > MaxZoom) Fail("Zoom in 1..150");
  if (world.Selected < 0 || world.Selected >= BodyCount) Fail("Selected in 0..80");
  if (world.TickCounter < 0 || world.TickCounter > LastSlot) Fail("TickCounter in 0..3000");
  if (world.RecordIndex < 0 || world.RecordIndex > HistorySlots) Fail("RecordIndex in 0..3001");
  if (timers.t.Enabled == timers.h.Enabled) Fail("exactly one timer enabled");
  for (int i = 0; i < BodyCount; ++i) {
    const auto k = static_cast<size_t>(i);
    if (!std::isfinite(world.PosX[k]) || !std::isfinite(world.PosY[k]) ||
        !std::isfinite(world.VelX[k]) || !std::isfinite(world.VelY[k])) {
      Fail("positions and velocities finite");
    }
  }
}

// A key's index into the bound keys, or an unbound key (A) for the one index past them.
int16_t BoundKey(uint8_t index) {
  const size_t k = index % (CommandKeys.size() + 1);
  return k < CommandKeys.size() ? CommandKeys[k] : int16_t{65};
}

struct Session {
  std::unique_ptr<Program> program;
  std::span<const float> draws;
  int64_t clock = 0;  // the monotonic clock the firings run on, in nanoseconds
  int firings = 0;

  explicit Session(std::span<const float> script) : draws(script) { Start(); }

  void Start() {
    program = std::make_unique<Program>();
    program->random.Script = draws;
    LoadProgram(*program, 626, 549);
  }

  void Press(int16_t key) {
    const World& world = program->world;
    const int16_t oldX = world.OffsetX;
    const int16_t oldY = world.OffsetY;
    PressKey(*program, key, 0);
    if (!program->Ended) {
      CheckOffsets(world, key, oldX, oldY);
      return;
    }
    // Ended: not one more firing runs or draws.
    ChangedRects taken;
    TakeChanges(*program, taken);
    clock += 100 * NsPerMs;
    RunDueFirings(*program, clock);
    ReleaseMouseButton(*program, 1, 0, 300, 300);
    PressKey(*program, KeyEnter, 0);
    if (HasChanges(*program)) Fail("nothing is drawn after the end");
    Start();
  }

  void Fire() {
    if (firings >= MaxFiringsPerInput) return;
    ++firings;
    clock += NsPerMs;
    RunDueFirings(*program, clock);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Session session(std::span<const float>(Draws()).subspan(size % 1000));
  Reader in{data, size};
  while (!in.Done()) {
    Program& program = *session.program;
    World& world = program.world;
    switch (in.Byte() % 8) {
      case 0:
        session.Press(static_cast<int16_t>(in.Word()));
        break;
      case 1:
        session.Press(BoundKey(in.Byte()));
        break;
      case 2: {
        const int button = in.Byte();
        const float x = in.Float();
        const float y = in.Float();
        ReleaseMouseButton(program, button, 0, x, y);
        break;
      }
      case 3: {
        const int button = in.Byte();
        const float x = static_cast<float>(in.Word() % 1024);
        const float y = static_cast<float>(in.Word() % 1024);
        ReleaseMouseButton(program, button, 0, x, y);
        break;
      }
      case 4: {
        // Sizes from 0 x 0 to 4000 x 3000, with the extremes likely.
        const int width = in.Word() % 4001;
        const int height = in.Word() % 3001;
        ResizeProgram(program, width, height);
        break;
      }
      case 5:
        session.Fire();
        break;
      case 6:
        for (int k = 4 * in.Byte(); k > 0; --k) session.Fire();
        break;
      case 7: {
        // A long session fills the history after 63000 ticks, too many for one input; start the
        // recorder where such a session would stand.
        const int late = in.Byte() % 8;
        world.RecordIndex = static_cast<int16_t>(LastSlot - 3 + late % 5);
        world.TickCounter = static_cast<int16_t>(late * 3);
        break;
      }
    }
    CheckInvariants(session.program->world, session.program->timers);
  }
  return 0;
}
