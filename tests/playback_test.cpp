#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "history/playback_tick.h"
#include "tests/support.h"
#include "view/surface.h"
#include "world/world.h"

namespace {

// On a 600 x 400 surface at Zoom 1 with no offset the world origin is pixel (300, 200).
constexpr int OriginX = 300;
constexpr int OriginY = 200;
constexpr Colour Overlay = RGB(50, 50, 50);

class Playback : public testing::Test {
 protected:
  void Record(int slot, size_t body, int16_t x, int16_t y, int16_t big) {
    const auto s = static_cast<size_t>(slot);
    world->HistX[s][body] = x;
    world->HistY[s][body] = y;
    world->HistBig[s][body] = big;
  }

  // Shows frame `frame` the way the previous tick would have.
  void ShowFrame(int frame) {
    world->TickCounter = static_cast<int16_t>(frame - 1);
    PlaybackTick(*world, surface);
  }

  std::unique_ptr<World> world = NewWorld();
  Surface surface = MakeSurface(600, 400);
};

// Frames

TEST_F(Playback, FramesRunFromOneToThreeThousandAndLoop) {
  world->TickCounter = 0;  // just entered playback
  PlaybackTick(*world, surface);
  EXPECT_EQ(world->TickCounter, 1);
  PlaybackTick(*world, surface);
  EXPECT_EQ(world->TickCounter, 2);
  world->TickCounter = 2999;
  PlaybackTick(*world, surface);
  EXPECT_EQ(world->TickCounter, 3000);
  PlaybackTick(*world, surface);
  EXPECT_EQ(world->TickCounter, 1);
}

TEST_F(Playback, ACounterOutsideTheFramesStartsAgainAtFrameOne) {
  const int16_t counters[] = {-1, -5, 3001, INT16_MIN, INT16_MAX};
  for (const int16_t counter : counters) {
    world->TickCounter = counter;
    PlaybackTick(*world, surface);
    EXPECT_EQ(world->TickCounter, 1) << "from " << counter;
  }
}

// Marks

TEST_F(Playback, AnUnrecordedFrameShowsOneWhitePointAtTheOrigin) {
  ShowFrame(1500);
  EXPECT_EQ(PixelAt(surface, OriginX, OriginY), White);
  EXPECT_EQ(CountPixels(surface, White), 1);
}

TEST_F(Playback, SmallBodiesShowAsSinglePoints) {
  Record(7, 0, 50, -30, False);
  Record(7, 1, -250, 150, False);
  ShowFrame(7);
  EXPECT_EQ(PixelAt(surface, 350, 170), White);
  EXPECT_EQ(PixelAt(surface, 50, 350), White);
  EXPECT_EQ(PixelAt(surface, OriginX, OriginY), White);  // the other 79 bodies
  EXPECT_EQ(CountPixels(surface, White), 3);
}

TEST_F(Playback, ABigBodyShowsAsARingOfRadiusTwo) {
  Record(1, 0, 100, 0, True);
  ShowFrame(1);
  // The rim of a radius-2 disc centred on (400, 200): white around a black centre.
  const std::pair<int, int> rim[] = {{402, 200}, {398, 200}, {400, 202}, {400, 198}};
  for (const auto& [px, py] : rim) {
    EXPECT_EQ(PixelAt(surface, px, py), White) << px << ", " << py;
  }
  EXPECT_EQ(PixelAt(surface, 400, 200), Black);
  EXPECT_EQ(PixelAt(surface, 403, 200), Black);
  EXPECT_EQ(PixelAt(surface, 400, 197), Black);
}

TEST_F(Playback, MarksFollowTheCurrentView) {
  world->Zoom = 2;
  world->OffsetX = 100;
  world->OffsetY = -60;
  Record(9, 0, 100, 40, False);
  ShowFrame(9);
  // 100 / 2 + 300 + 100 / 2 and 40 / 2 + 200 - 60 / 2.
  EXPECT_EQ(PixelAt(surface, 400, 190), White);
}

// Erasing

TEST_F(Playback, EachFrameErasesThePreviousFramesMarks) {
  Record(41, 0, -100, -100, True);
  Record(41, 1, 120, 80, False);
  ShowFrame(41);
  ASSERT_EQ(PixelAt(surface, 202, 100), White);
  ASSERT_EQ(PixelAt(surface, 420, 280), White);
  ShowFrame(42);
  EXPECT_EQ(PixelAt(surface, 202, 100), Black);
  EXPECT_EQ(PixelAt(surface, 420, 280), Black);
  EXPECT_EQ(CountPixels(surface, White), 1);  // frame 42 is unrecorded: the origin point alone
}

TEST_F(Playback, TheLoopFromFrameThreeThousandToOneLeavesNoMarksBehind) {
  Record(3000, 0, -100, 100, True);
  Record(3000, 1, -150, 50, False);
  Record(1, 2, 10, 10, False);
  ShowFrame(3000);
  ASSERT_EQ(PixelAt(surface, 202, 300), White);  // the big body's ring around (200, 300)
  ASSERT_EQ(PixelAt(surface, 150, 250), White);
  PlaybackTick(*world, surface);
  EXPECT_EQ(world->TickCounter, 1);
  EXPECT_EQ(CountPixels(surface, White), 2);  // frame 1: body 2 and the origin point
  EXPECT_EQ(PixelAt(surface, 310, 210), White);
}

TEST_F(Playback, ErasingHappensEvenWithTrailsSwitchedOn) {
  world->EraseOld = False;
  Record(5, 0, 70, 70, False);
  ShowFrame(5);
  ShowFrame(6);
  EXPECT_EQ(PixelAt(surface, 370, 270), Black);
}

TEST_F(Playback, ErasingUsesThePenColourAndTheOverlayOtherwiseStays) {
  surface.PenColour = RGB(10, 10, 10);  // a dark pen leaves faint traces
  Line(surface, 0, 0, 599, 399, Overlay);
  Record(20, 0, 70, 70, True);
  Record(20, 1, 90, -90, False);
  ShowFrame(20);
  ShowFrame(21);
  EXPECT_EQ(PixelAt(surface, 372, 270), RGB(10, 10, 10));
  EXPECT_EQ(PixelAt(surface, 390, 110), RGB(10, 10, 10));
  // No clearing: the outline is still there.
  EXPECT_EQ(PixelAt(surface, 0, 0), Overlay);
  EXPECT_EQ(PixelAt(surface, 599, 399), Overlay);
}

}  // namespace
