// Reads its input as a script of window events and runs them through the program's entry points
// and its firing dispatch, as a window layer does, checking the world's invariants after every
// event. Escape ends the program; the script then goes on in a newly started one.
//
// Each input stays short, so that the fuzzer tries hundreds of them a second: it runs at most
// MaxFiringsPerInput firings, and its surfaces stay within MaxSurfaceArea. The interesting states
// come from keys, resizes, releases and mode switches; the one that only a long run reaches, a full
// history, comes from opcode 8, which runs the recorder's own calls tick by tick as the simulation
// does, but without the physics in between.
//
// Script: a sequence of events, each an opcode byte followed by its operands (missing operand
// bytes read as zero):
//   0  key press, any 16-bit key code            (2 bytes)
//   1  key press, one of the bound keys          (1 byte)
//   2  mouse release at any float position       (1 byte button, 4 bytes x, 4 bytes y)
//   3  mouse release on a pixel of the surface   (1 byte button, 2 bytes x, 2 bytes y)
//   4  window resize, each side a signed 16-bit number, the height cut down to keep the area
//      within MaxSurfaceArea                     (2 bytes width, 2 bytes height)
//   5  one millisecond passes, with the firings it brings
//   6  a run of milliseconds                     (1 byte: count)
//   7  the clock jumps, as after a busy moment or a stall, and one pass runs what is due
//                                                (1 byte: milliseconds)
//   8  while the simulation runs, the recorder runs on without moving the bodies
//                                                (1 byte: count x 64 ticks; 4 x 247 fill it)

#include <algorithm>
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
#include "history/record.h"
#include "program/program.h"
#include "tests/scene.h"
#include "world/rounding.h"
#include "world/world.h"

namespace {

// A tick takes about a quarter of a millisecond under the sanitizers: this keeps the longest input
// to a few dozen milliseconds, and the fuzzer's average to a few.
constexpr int MaxFiringsPerInput = 100;
// Every key clears the whole surface, and a larger surface is fresh memory (below): at 32 k pixels
// both stay well within a millisecond, while a side can still reach the largest the surface takes
// with the other side short.
constexpr int64_t MaxSurfaceArea = 1 << 15;
constexpr int TicksPerRecorderStep = 64;

// The seeding reseeds from the clock; a fixed script of draws makes every input replay exactly.
// One seeding draws at most 731 numbers, so the script lasts for over a hundred seedings.
constexpr size_t ScriptLength = 100'000;
const std::array<float, ScriptLength>& Draws() {
  static const auto draws = [] {
    std::array<float, ScriptLength> values{};
    SceneRandom random;
    for (float& value : values) {
      value = random.NextFloat();
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

// What a resize must leave: the size asked for, each side held to 0..MaxSurfaceSide, or the old
// size when it was refused; a pixel for every unit either way.
void CheckResize(const Surface& surface, int width, int height, bool resized, int oldWidth,
                 int oldHeight) {
  const int wantWidth = resized ? std::clamp(width, 0, MaxSurfaceSide) : oldWidth;
  const int wantHeight = resized ? std::clamp(height, 0, MaxSurfaceSide) : oldHeight;
  if (surface.Width != wantWidth || surface.Height != wantHeight) {
    Fail("a resize gives the size asked for, held to the largest side, or keeps the old one");
  }
  if (surface.Pixels.size() !=
      static_cast<size_t>(surface.Width) * static_cast<size_t>(surface.Height)) {
    Fail("a pixel for every surface unit");
  }
}

// Under AddressSanitizer every block over 128 kB is fresh memory from the kernel, and on a virtual
// machine its pages cost more than a short input's whole run. So one Program serves every input,
// started afresh in place, and each input starts on a window small enough for the allocator to
// reuse its surface; resizes then explore the other sizes.
constexpr int StartWidth = 200;
constexpr int StartHeight = 150;

Program& TheProgram() {
  static Program* const program = new Program;
  return *program;
}

struct Session {
  Program* program = &TheProgram();
  std::span<const float> draws;
  int64_t clock = 0;        // the monotonic clock the firings run on, in nanoseconds
  int64_t firedBefore = 0;  // firings of the programs that Escape ended

  explicit Session(std::span<const float> script) : draws(script) { Start(); }

  void Start() {
    std::destroy_at(program);
    std::construct_at(program);
    program->random.Script = draws;
    LoadProgram(*program, StartWidth, StartHeight);
  }

  int64_t Fired() const { return firedBefore + program->Firings.CountT + program->Firings.CountH; }

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
    const int64_t fired = Fired();
    RunClock(*program, clock, 100, 100);
    ReleaseMouseButton(*program, 1, 0, 300, 300);
    PressKey(*program, KeyEnter, 0);
    if (HasChanges(*program) || Fired() != fired) Fail("nothing runs or is drawn after the end");
    firedBefore = fired;
    Start();
  }

  void Resize(int width, int height) {
    if (width > 0 && height > 0 && int64_t{width} * height > MaxSurfaceArea) {
      height = static_cast<int>(MaxSurfaceArea / width);
    }
    const Surface& surface = program->surface;
    const int oldWidth = surface.Width;
    const int oldHeight = surface.Height;
    const bool resized = ResizeProgram(*program, width, height);
    CheckResize(surface, width, height, resized, oldWidth, oldHeight);
  }

  // The clock moves on by `ms` milliseconds in one pass, unless the input has run its firings.
  void Pass(int64_t ms) {
    if (Fired() >= MaxFiringsPerInput) return;
    RunClock(*program, clock, ms, ms);
  }

  // The recorder's share of `ticks` simulation ticks, in the order the tick runs it: a full history
  // in a few milliseconds instead of a minute of physics. Bodies are recorded only in the ticks
  // whose countdown stands at its top, the only ones in which RecordBody writes.
  void RunRecorder(int ticks) {
    World& world = program->world;
    Timers& timers = program->timers;
    for (int k = 0; k < ticks && timers.t.Enabled; ++k) {
      if (world.TickCounter == RecordPeriod - 1) {
        for (int i = 0; i < BodyCount; ++i) RecordBody(world, i);
      }
      AdvanceRecorder(world, program->surface, timers);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Session session(std::span<const float>(Draws()).subspan(size % 1000));
  Reader in{data, size};
  while (!in.Done()) {
    Program& program = *session.program;
    switch (in.Byte() % 9) {
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
        const int width = static_cast<int16_t>(in.Word());
        const int height = static_cast<int16_t>(in.Word());
        session.Resize(width, height);
        break;
      }
      case 5:
        session.Pass(1);
        break;
      case 6:
        for (int k = in.Byte(); k > 0; --k) session.Pass(1);
        break;
      case 7:
        session.Pass(in.Byte());
        break;
      case 8:
        session.RunRecorder(in.Byte() * TicksPerRecorderStep);
        break;
    }
    CheckInvariants(session.program->world, session.program->timers);
  }
  return 0;
}
