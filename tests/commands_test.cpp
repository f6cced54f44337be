#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "commands/handle_key.h"
#include "tests/support.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

namespace {

constexpr int16_t KeyA = 65;
constexpr Colour Trail = RGB(200, 100, 50);
constexpr Colour RingGrey = RGB(30, 30, 30);

class Keys : public testing::Test {
 protected:
  KeyOutcome Press(int16_t key) { return HandleKey(*world, surface, timers, key, 0); }

  // A body's trail somewhere the overlay never draws.
  void LeaveTrail() { PSet(surface, 20, 30, Trail); }
  bool TrailWiped() const { return PixelAt(surface, 20, 30) == Black; }
  // The ring around the surface centre, radius 5, drawn by the overlay.
  bool CentreRingDrawn() const { return PixelAt(surface, 305, 200) == RingGrey; }

  std::unique_ptr<World> world = NewWorld();
  Surface surface = MakeSurface(600, 400);
  Timers timers;
};

// Panning

TEST_F(Keys, ArrowsPanThirtySurfaceUnitsWhateverTheZoom) {
  world->Zoom = 4;
  Press(KeyLeft);
  EXPECT_EQ(world->OffsetX, 120);
  Press(KeyUp);
  EXPECT_EQ(world->OffsetY, 120);
  Press(KeyRight);
  Press(KeyRight);
  EXPECT_EQ(world->OffsetX, -120);
  Press(KeyDown);
  Press(KeyDown);
  EXPECT_EQ(world->OffsetY, -120);
}

TEST_F(Keys, PanningStopsAtTheEdgeOfTheWorld) {
  world->Zoom = 150;
  world->OffsetX = 9000;
  Press(KeyLeft);  // 13500
  EXPECT_EQ(world->OffsetX, 10000);

  world->Zoom = 1;
  world->OffsetX = -9990;
  Press(KeyRight);  // -10020
  EXPECT_EQ(world->OffsetX, -10000);

  world->OffsetY = 9990;
  Press(KeyUp);
  EXPECT_EQ(world->OffsetY, 10000);
  world->OffsetY = -9990;
  Press(KeyDown);
  EXPECT_EQ(world->OffsetY, -10000);
}

TEST_F(Keys, AnOffsetBeyondTheWorldIsOnlyClampedWhenPanningFurtherOut) {
  // No command leaves such an offset, but a pan step from one must still be safe.
  world->Zoom = 1;
  world->OffsetX = 12000;
  Press(KeyRight);  // back towards the world: no clamp
  EXPECT_EQ(world->OffsetX, 11970);
  Press(KeyLeft);
  EXPECT_EQ(world->OffsetX, 10000);
}

// Zooming

TEST_F(Keys, KeypadPlusZoomsInAndMinusZoomsOut) {
  world->Zoom = 5;
  Press(KeyPadPlus);
  EXPECT_EQ(world->Zoom, 4);
  Press(KeyPadMinus);
  Press(KeyPadMinus);
  EXPECT_EQ(world->Zoom, 6);
}

TEST_F(Keys, ZoomStopsAtItsLimitsButStillRedraws) {
  world->Zoom = MinZoom;
  LeaveTrail();
  Press(KeyPadPlus);
  EXPECT_EQ(world->Zoom, MinZoom);
  EXPECT_TRUE(TrailWiped());
  EXPECT_TRUE(CentreRingDrawn());

  world->Zoom = MaxZoom;
  LeaveTrail();
  Press(KeyPadMinus);
  EXPECT_EQ(world->Zoom, MaxZoom);
  EXPECT_TRUE(TrailWiped());
  EXPECT_TRUE(CentreRingDrawn());
}

// Following a body

TEST_F(Keys, SpaceCentresOnTheSelectedBodyRoundingTiesToEven) {
  world->Selected = 7;
  world->PosX[7] = 123.5;
  world->PosY[7] = -0.5;
  Press(KeySpace);
  EXPECT_EQ(world->OffsetX, -124);
  EXPECT_EQ(world->OffsetY, 0);

  world->PosX[7] = -2.5;
  world->PosY[7] = 9999.4;
  Press(KeySpace);
  EXPECT_EQ(world->OffsetX, 2);
  EXPECT_EQ(world->OffsetY, -9999);
}

TEST_F(Keys, PageUpAndPageDownStepThroughTheBodiesAndWrap) {
  world->PosX[80] = 5000;
  world->PosY[80] = -4000;
  world->PosX[0] = -10;
  world->PosY[0] = 20;
  world->PosX[1] = 300;

  world->Selected = 0;
  Press(KeyPageUp);
  EXPECT_EQ(world->Selected, 80);
  EXPECT_EQ(world->OffsetX, -5000);
  EXPECT_EQ(world->OffsetY, 4000);

  Press(KeyPageDown);
  EXPECT_EQ(world->Selected, 0);
  EXPECT_EQ(world->OffsetX, 10);
  EXPECT_EQ(world->OffsetY, -20);

  Press(KeyPageDown);
  EXPECT_EQ(world->Selected, 1);
  EXPECT_EQ(world->OffsetX, -300);
  Press(KeyPageUp);
  EXPECT_EQ(world->Selected, 0);
}

TEST_F(Keys, CentringOnABodyOutsideTheWorldSaturatesAndArrowsStepOnFromThere) {
  // Only just after seeding at a high zoom, before the bodies have been folded back in.
  world->PosX[0] = 745000.0;
  world->PosY[0] = -40000.0;
  world->PosX[1] = 12000.4;
  world->PosY[1] = -10000.5;
  Press(KeySpace);
  EXPECT_EQ(world->OffsetX, INT16_MIN);
  EXPECT_EQ(world->OffsetY, INT16_MAX);
  Press(KeyPageDown);
  EXPECT_EQ(world->OffsetX, -12000);
  EXPECT_EQ(world->OffsetY, 10000);  // 10000.5 ties to even

  world->Zoom = 150;  // steps of 4500
  Press(KeyLeft);     // Left only stops above 10000
  EXPECT_EQ(world->OffsetX, -7500);
  Press(KeySpace);
  Press(KeyRight);  // -16500, below Right's limit
  EXPECT_EQ(world->OffsetX, -10000);
  world->PosX[1] = -32000.0;
  Press(KeySpace);
  Press(KeyLeft);  // 36500 saturates at 32767, then the limit applies
  EXPECT_EQ(world->OffsetX, 10000);
  Press(KeySpace);
  Press(KeyRight);  // from beyond the limit towards it: 27500, kept
  EXPECT_EQ(world->OffsetX, 27500);
  world->PosX[0] = -745000.0;
  Press(KeyPageUp);
  EXPECT_EQ(world->OffsetX, INT16_MAX);
  Press(KeyRight);
  EXPECT_EQ(world->OffsetX, INT16_MAX - 4500);
  world->PosX[0] = 745000.0;
  Press(KeySpace);
  Press(KeyRight);  // -37268 saturates at -32768, then the limit applies
  EXPECT_EQ(world->OffsetX, -10000);
}

TEST_F(Keys, ASelectionOutsideTheBodiesNeverReadsBeyondThem) {
  world->PosX[0] = 42;
  world->Selected = 200;
  Press(KeySpace);
  EXPECT_EQ(world->OffsetX, -42);
  world->Selected = INT16_MIN;
  Press(KeyPageUp);
  EXPECT_EQ(world->Selected, 80);
}

// Trails and mode

TEST_F(Keys, TSwitchesErasingOffAndOn) {
  ASSERT_EQ(world->EraseOld, True);
  Press(KeyT);
  EXPECT_EQ(world->EraseOld, False);
  Press(KeyT);
  EXPECT_EQ(world->EraseOld, True);
  world->EraseOld = 5;  // any non-zero value reads as true
  Press(KeyT);
  EXPECT_EQ(world->EraseOld, False);
}

TEST_F(Keys, EnterSwitchesBetweenSimulationAndPlaybackFromFrameOne) {
  world->TickCounter = 17;
  LeaveTrail();
  Press(KeyEnter);
  EXPECT_FALSE(timers.t.Enabled);
  EXPECT_TRUE(timers.h.Enabled);
  EXPECT_EQ(world->TickCounter, 0);
  EXPECT_TRUE(TrailWiped());  // playback starts on a clean surface

  world->TickCounter = 1234;
  Press(KeyEnter);
  EXPECT_TRUE(timers.t.Enabled);
  EXPECT_FALSE(timers.h.Enabled);
  EXPECT_EQ(world->TickCounter, 0);
}

// Redrawing and quitting

TEST_F(Keys, EveryKeyButEscapeWipesTrailsAndRedrawsTheOverlay) {
  const int16_t keys[] = {KeyEnter, KeySpace, KeyPageUp, KeyPageDown, KeyLeft,     KeyUp,
                          KeyRight, KeyDown,  KeyT,      KeyPadPlus,  KeyPadMinus, KeyA};
  for (const int16_t key : keys) {
    world->OffsetX = 0;
    world->OffsetY = 0;
    world->Zoom = 1;
    LeaveTrail();
    EXPECT_EQ(Press(key), KeyOutcome::KeepRunning) << "key " << key;
    EXPECT_TRUE(TrailWiped()) << "key " << key;
    EXPECT_TRUE(CentreRingDrawn()) << "key " << key;
  }
}

TEST_F(Keys, AnUnboundKeyChangesNothingButTheSurface) {
  world->Zoom = 3;
  world->OffsetX = 12;
  world->Selected = 4;
  Press(KeyA);
  EXPECT_EQ(world->Zoom, 3);
  EXPECT_EQ(world->OffsetX, 12);
  EXPECT_EQ(world->OffsetY, 0);
  EXPECT_EQ(world->Selected, 4);
  EXPECT_EQ(world->EraseOld, True);
}

TEST_F(Keys, EscapeEndsTheProgramWithoutDrawing) {
  LeaveTrail();
  ChangedRects taken;
  TakeChangedRects(surface.Changed, taken);
  EXPECT_EQ(Press(KeyEscape), KeyOutcome::EndProgram);
  EXPECT_FALSE(surface.Changed.Any);
  EXPECT_EQ(PixelAt(surface, 20, 30), Trail);
  EXPECT_TRUE(timers.t.Enabled);
}

}  // namespace
