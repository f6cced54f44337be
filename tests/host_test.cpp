#include "host/host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "commands/handle_key.h"

// A platform made of memory for the host to drive: a clock the test moves on (or the waits move
// on), events it hands over at the next read, and a record of what was resized and shown.
struct Window {
  PlatformState State{.Width = 939, .Height = 824, .Scale = 6};
  int64_t Now = 0;
  int Waits = 0;
  int64_t InputAtNs = INT64_MAX;  // a key arrives then, ending the wait it falls in
  int64_t CloseAtNs = INT64_MAX;  // the window is closed at the first read from then on
  int64_t FiringsAtInput = -1;    // the program's ticks when the key was read
  const Program* Running = nullptr;
  std::vector<PlatformEvent> Events;  // handed over, all of them, at the next read
  size_t NextEvent = 0;
  HostPass Pass;
  int Resizes = 0;                  // calls of PlatformResized
  ClientArea Area;                  // as last resized
  std::vector<PixelRect> Shown;     // every rectangle presented, in device pixels
  std::vector<int64_t> PartPixels;  // device pixels of each part
};

PlatformState PlatformDescribe(Window& w) {
  return w.State;
}

int64_t PlatformNowNs(Window& w) {
  return w.Now;
}

bool PlatformWait(Window& w, int64_t wakeNs) {
  ++w.Waits;
  const bool input = w.InputAtNs > w.Now && w.InputAtNs < wakeNs;
  w.Now = input ? w.InputAtNs : std::max(w.Now, wakeNs);
  return input;
}

bool PlatformNextEvent(Window& w, PlatformEvent& event) {
  if (w.Now >= w.InputAtNs && w.FiringsAtInput < 0) {
    w.FiringsAtInput = w.Running->Firings.CountT;
  }
  if (w.Now >= w.CloseAtNs) {
    event = {.Kind = EventKind::Closed};
    return true;
  }
  if (w.NextEvent < w.Events.size()) {
    event = w.Events[w.NextEvent++];
    return true;
  }
  return false;
}

void PlatformTakePass(Window& w, HostPass pass) {
  w.Pass = pass;
}

void PlatformResized(Window& w, const ClientArea& area, const Surface& /*surface*/) {
  ++w.Resizes;
  w.Area = area;
}

bool PlatformShowing(Window& /*w*/) {
  return true;
}

bool PlatformPresent(Window& w, const ClientArea& /*area*/, const Surface& /*surface*/,
                     const PixelRect* rects, int count) {
  int64_t pixels = 0;
  for (int i = 0; i < count; ++i) {
    w.Shown.push_back(rects[i]);
    pixels += int64_t{rects[i].Width} * rects[i].Height;
  }
  w.PartPixels.push_back(pixels);
  return true;
}

namespace {

int64_t UnitsIn(const std::vector<PixelRect>& rects, int scale) {
  int64_t area = 0;
  for (const PixelRect& rect : rects) {
    const UnitRect units = UnitsOfPixels(rect, scale);
    area += int64_t{units.Width} * units.Height;
  }
  return area;
}

}  // namespace

// The same screen gives the same window and surface on every layer: the design size on screens
// of 96, 120, 144, 168 and 192 DPI, and an odd client size at each, where every device pixel shows
// a unit of the surface and the units' pixels tile the client area exactly.
TEST(PixelsAndUnits, EveryScreenDensityGivesTheDesignSizeAndCoversEveryPixel) {
  struct Screen {
    double Dpi;
    int Scale;  // quarters
    int Width;  // the window's client area for the design size, in device pixels
    int Height;
    int OddWidth;  // another client area, and the surface it gives
    int OddHeight;
    int OddUnitsWide;
    int OddUnitsHigh;
  };
  const Screen screens[] = {
      {96, 4, 626, 549, 801, 603, 801, 603},      {120, 5, 783, 687, 801, 603, 641, 482},
      {144, 6, 939, 824, 940, 825, 627, 550},     {168, 7, 1096, 961, 1001, 777, 572, 444},
      {192, 8, 1252, 1098, 1253, 1097, 627, 549},
  };
  for (const Screen& screen : screens) {
    SCOPED_TRACE(screen.Dpi);
    ASSERT_EQ(ScaleForDpi(screen.Dpi), screen.Scale);
    EXPECT_EQ(FirstPixelOfUnit(StartWidth, screen.Scale), screen.Width);
    EXPECT_EQ(FirstPixelOfUnit(StartHeight, screen.Scale), screen.Height);
    EXPECT_EQ(UnitsShownOn(screen.Width, screen.Scale), StartWidth);
    EXPECT_EQ(UnitsShownOn(screen.Height, screen.Scale), StartHeight);
    EXPECT_EQ(UnitsShownOn(screen.OddWidth, screen.Scale), screen.OddUnitsWide);
    EXPECT_EQ(UnitsShownOn(screen.OddHeight, screen.Scale), screen.OddUnitsHigh);

    // Pixel by pixel across the odd width: each shows the unit whose pixels it lies among, and a
    // pointer on it lands in that unit.
    const int units = screen.OddUnitsWide;
    for (int pixel = 0; pixel < screen.OddWidth; ++pixel) {
      const int unit = UnitOfPixel(pixel, screen.Scale);
      ASSERT_LT(unit, units) << pixel;
      ASSERT_LE(FirstPixelOfUnit(unit, screen.Scale), pixel) << pixel;
      ASSERT_LT(pixel, FirstPixelOfUnit(unit + 1, screen.Scale)) << pixel;
      ASSERT_EQ(static_cast<int>(PointerToUnits(pixel, screen.Scale)), unit) << pixel;
    }
    // The surface's pixels reach the window's edge, its last unit perhaps in part.
    const PixelRect whole = PixelsOfUnits({0, 0, units, 1}, screen.Scale);
    EXPECT_EQ(whole.X, 0);
    EXPECT_GE(whole.Width, screen.OddWidth);
    EXPECT_LT(whole.Width - screen.OddWidth, FirstPixelOfUnit(1, screen.Scale));
  }
  // Densities desktops do not scale by, and nonsense, are unscaled; pixel ratios are held to
  // 1x..4x.
  EXPECT_EQ(ScaleForDpi(100), Unscaled);
  EXPECT_EQ(ScaleForDpi(0), Unscaled);
  EXPECT_EQ(ScaleForDpi(5000), Unscaled);
  EXPECT_EQ(ScaleForPixelRatio(2), 8);
  EXPECT_EQ(ScaleForPixelRatio(1.5), 6);
  EXPECT_EQ(ScaleForPixelRatio(0.5), Unscaled);
  EXPECT_EQ(ScaleForPixelRatio(9), LargestScale);
}

// Two hundred resizes reported in one pass cost one: the surface and the layer's buffers follow
// the last size once, the whole picture waits for the present cadence, and it is shown in parts
// no larger than the host allows while the timers keep firing once a millisecond throughout.
TEST(Host, AResizeStormIsAppliedOnceAndShownInPartsWithoutLosingAFiring) {
  auto program = std::make_unique<Program>();
  program->RunTimerHandlers = false;  // the firings are counted, and draw nothing of their own
  Host host;
  Window w;
  w.Running = program.get();
  w.Now = 1'000 * NsPerMs;
  LoadHost(host, w, *program);
  ASSERT_EQ(program->surface.Width, StartWidth);
  ASSERT_EQ(program->surface.Height, StartHeight);
  ASSERT_EQ(w.Resizes, 1);

  // A pass a millisecond, the picture shown at start-up first.
  auto runFor = [&](int milliseconds) {
    for (int k = 0; k < milliseconds; ++k) {
      w.Now += NsPerMs;
      host.InputWaiting = true;
      RunHostPass(host, w, *program);
    }
  };
  runFor(100);
  w.Shown.clear();
  w.PartPixels.clear();
  const int64_t ticksBefore = program->Firings.CountT;

  for (int k = 0; k < 199; ++k) {
    w.Events.push_back(ResizeEvent(600 + 37 * k % 5000, 400 + 53 * k % 3000, 6));
  }
  w.Events.push_back(ResizeEvent(3001, 1999, 6));
  const int64_t presentDue = host.NextPresentNs;
  runFor(1);
  EXPECT_EQ(w.Resizes, 2);
  EXPECT_EQ(program->surface.Width, UnitsShownOn(3001, 6));
  EXPECT_EQ(program->surface.Height, UnitsShownOn(1999, 6));
  // The last unit is shown in part, and beyond the surface there is nothing.
  EXPECT_EQ(w.Area.Beside.Width, 0);
  EXPECT_EQ(w.Area.Below.Height, 0);
  EXPECT_TRUE(w.Shown.empty() || w.Now >= presentDue);

  runFor(200);
  // The whole surface was shown, every unit once, and no part was larger than allowed.
  EXPECT_EQ(UnitsIn(w.Shown, 6), int64_t{program->surface.Width} * program->surface.Height);
  ASSERT_GT(w.PartPixels.size(), 1U);
  EXPECT_LE(*std::max_element(w.PartPixels.begin(), w.PartPixels.end()), host.PartPixels);
  EXPECT_EQ(program->Firings.CountT - ticksBefore, 201);
}

// A host that sleeps between passes wakes for the presents at the display's rate, not for every
// firing, whether the firings draw what a present shows or nothing at all: a second is still 1000
// ticks, in about 60 wakes, and a key that wakes it in between finds every firing due before it
// already run, as a timer firing each millisecond would have.
TEST(Host, ASleepingHostWakesForThePresentsAndRunsTheFiringsDueBeforeInput) {
  for (const bool drawing : {true, false}) {
    SCOPED_TRACE(drawing);
    auto program = std::make_unique<Program>();
    program->RunTimerHandlers = drawing;
    Host host;
    Window w;
    w.Running = program.get();
    w.State = {.Width = StartWidth, .Height = StartHeight};
    w.Now = 1'000 * NsPerMs;
    LoadHost(host, w, *program);
    ReleaseMouseButton(*program, 1, 0, 300, 250);
    RunHostPass(host, w, *program);
    const int64_t start = w.Now;
    const int64_t presentsBefore = host.AllPresents;
    w.InputAtNs = start + 500 * NsPerMs + 300'000;
    w.CloseAtNs = start + NsPerSecond;
    RunHost(host, w, *program);

    ASSERT_GE(w.Now - start, NsPerSecond);
    EXPECT_EQ(program->Firings.CountT, (w.Now - start) / NsPerMs);
    EXPECT_EQ(w.FiringsAtInput, 500);
    EXPECT_GE(host.AllPresents - presentsBefore, drawing ? 59 : 0);
    EXPECT_LE(w.Waits, 62);
  }
}

// A page the browser wakes once a frame hands its events to the host like any layer: the pass it
// runs each frame catches up the frame's firings, turns a release's device pixels into units and
// counts the seeding, and after Escape acts on nothing more and says so.
TEST(Host, APageWokenEachFrameHandsItsEventsToThePassUntilEscape) {
  auto program = std::make_unique<Program>();
  Host host;
  Window w;
  w.Running = program.get();
  w.State = {.WokenEachFrame = true, .PresentsWhole = true, .Width = 800, .Height = 600};
  LoadHost(host, w, *program);
  RunHost(host, w, *program);
  ASSERT_EQ(w.Waits, 0);
  ASSERT_NE(w.Pass.Run, nullptr);

  auto frame = [&] {
    w.Now += 16 * NsPerMs;
    return w.Pass.Run(w.Pass.Host);
  };
  EXPECT_TRUE(frame());
  EXPECT_EQ(program->Firings.CountT, 0);  // the simulation's cadence starts with the first frame
  w.Events.push_back(ReleaseEvent(1, 0, 400.5, 300));
  EXPECT_TRUE(frame());
  EXPECT_TRUE(frame());
  EXPECT_EQ(host.Seeds, 1);
  EXPECT_EQ(program->Firings.CountT, 32);
  // Each frame one present in one part, the first of them the whole window.
  ASSERT_EQ(w.PartPixels.size(), 3U);
  EXPECT_EQ(w.PartPixels[0], 800 * 600);

  w.Events.push_back(KeyEvent(KeyEscape, 0));
  w.Events.push_back(ResizeEvent(1000, 700, Unscaled));
  w.Events.push_back(ReleaseEvent(1, 0, 10, 10));
  EXPECT_FALSE(frame());
  EXPECT_TRUE(program->Ended);
  EXPECT_EQ(host.Seeds, 1);
  EXPECT_EQ(w.Resizes, 1);
}

// A queue of a layer's events keeps them in order, holds a storm of resizes in one place with the
// last size, and drops what comes once it is full rather than overwrite what waits.
TEST(Host, TheEventQueueKeepsTheOrderAndTheLastSize) {
  EventQueue queue;
  PushEvent(queue, ResizeEvent(100, 100, 4));
  for (int k = 0; k < 500; ++k) {
    PushEvent(queue, ResizeEvent(200 + k, 300, 4));
  }
  for (int k = 0; k < 100; ++k) {
    PushEvent(queue, KeyEvent(static_cast<int16_t>(k), 0));
  }
  PlatformEvent event;
  ASSERT_TRUE(PopEvent(queue, event));
  EXPECT_EQ(event.Width, 699);
  for (int k = 0; k + 1 < static_cast<int>(queue.Events.size()); ++k) {
    ASSERT_TRUE(PopEvent(queue, event));
    ASSERT_EQ(event.Code, k);
  }
  EXPECT_FALSE(PopEvent(queue, event));
}
