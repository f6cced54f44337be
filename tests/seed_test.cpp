#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

#include "seed/random.h"
#include "seed/seed_universe.h"
#include "tests/support.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

namespace {

constexpr float LargestRnd = 1.0F - 1.0F / 16777216.0F;  // 1 - 2^-24
constexpr size_t Bodies = BodyCount;
constexpr size_t LastBody = Bodies - 1;

// Draws that select a placement (0 ring, 1 spread) and a velocity pattern (0..3).
float PlacementDraw(int placement) {
  return placement == 0 ? 0.25F : 0.75F;
}
float PatternDraw(int pattern) {
  return (static_cast<float>(pattern) + 0.5F) / 4.0F;
}

// The numbers one body takes from the random source, in the order it takes them.
struct BodyDraws {
  float MassA = 0.5F;
  float MassB = 0.5F;
  float Angle = 0.0F;
  float RadiusA = 0.5F;
  float RadiusB = 0.5F;
  float SpreadX = 0.25F;  // placement 1 only
  float SpreadY = 0.75F;
  float VelocityX = 0.5F;  // patterns 1 to 3 only
  float VelocityY = 0.5F;
};

std::vector<float> InOrder(const BodyDraws& d, int placement, int pattern) {
  std::vector<float> draws{d.MassA, d.MassB, d.Angle, d.RadiusA, d.RadiusB};
  if (placement == 1) {
    draws.insert(draws.end(), {d.SpreadX, d.SpreadY});
  }
  if (pattern != 0) {
    draws.insert(draws.end(), {d.VelocityX, d.VelocityY});
  }
  return draws;
}

class Seeding : public testing::Test {
 protected:
  // Scripts one universe: placement, pattern, then the same draws for every one of the 81 bodies.
  void ScriptUniverse(int placement, int pattern, const BodyDraws& draws) {
    script = {PlacementDraw(placement), PatternDraw(pattern)};
    const std::vector<float> body = InOrder(draws, placement, pattern);
    for (int i = 0; i < BodyCount; ++i) {
      script.insert(script.end(), body.begin(), body.end());
    }
  }

  void ReleaseAt(float x, float y, int button = 1, int shift = 0) {
    random.Script = script;
    SeedUniverse(*world, surface, timers, random, button, shift, x, y);
  }

  std::unique_ptr<World> world = NewWorld();
  Surface surface = MakeSurface(600, 400);
  Timers timers;
  RandomSource random;
  std::vector<float> script;
};

// Where the bodies go

TEST_F(Seeding, EveryBodyTakesExactlyItsShareOfTheDrawsForEveryPlacementAndPattern) {
  // Draws that are not exact in binary, the same for every body.
  const BodyDraws draws{.MassA = 0.3F,
                        .MassB = 0.7F,
                        .Angle = 0.123F,
                        .RadiusA = 0.45F,
                        .RadiusB = 0.91F,
                        .SpreadX = 0.2F,
                        .SpreadY = 0.6F,
                        .VelocityX = 0.35F,
                        .VelocityY = 0.85F};
  for (int placement = 0; placement < 2; ++placement) {
    for (int pattern = 0; pattern < 4; ++pattern) {
      SCOPED_TRACE(testing::Message() << "placement " << placement << ", pattern " << pattern);
      random = RandomSource{};
      ScriptUniverse(placement, pattern, draws);
      ReleaseAt(437.25F, 123.5F);
      // Five draws for mass, angle and radius, two for a spread place, two for a velocity.
      const size_t perBody = 5U + (placement == 1 ? 2U : 0U) + (pattern != 0 ? 2U : 0U);
      EXPECT_EQ(random.Draws, 2 + Bodies * perBody);
      EXPECT_TRUE(random.Script.empty());
      // The last body comes out as the first only if every body took exactly its share.
      EXPECT_EQ(world->PosX[LastBody], world->PosX[0]);
      EXPECT_EQ(world->PosY[LastBody], world->PosY[0]);
      EXPECT_EQ(world->VelX[LastBody], world->VelX[0]);
      EXPECT_EQ(world->VelY[LastBody], world->VelY[0]);
      EXPECT_EQ(world->Mass[LastBody], world->Mass[0]);
      EXPECT_EQ(world->ColorB[LastBody], world->ColorB[0]);
    }
  }
}

TEST_F(Seeding, RingBodyAtAngleZeroSitsStraightBelowTheClick) {
  // Release 100 right of and 50 below the centre of a 600 x 400 surface at Zoom 1.
  ScriptUniverse(0, 2, BodyDraws{});
  ReleaseAt(400, 250);
  EXPECT_EQ(world->PosX[0], 100.0);
  EXPECT_EQ(world->PosY[0], 425.0);  // radius 500 - 0.25 x 500 = 375 below
  EXPECT_EQ(world->Mass[0], 1.35F);  // 0.25 x 5 + 0.1 in single precision
  // The burst at angle 0 points straight down: 1 x 0.5 x 2 / (1.35^2 + 0.4).
  EXPECT_EQ(world->VelX[0], 0.0F);
  EXPECT_EQ(world->VelY[0], 0x1.ccbe0ep-2F);
}

TEST_F(Seeding, ClickIsShiftedByTheOffsetBeforeItIsZoomed) {
  world->Zoom = 2;
  world->OffsetX = 100;
  world->OffsetY = -50;
  ScriptUniverse(0, 0, BodyDraws{});
  ReleaseAt(400, 250);
  // (400 - 300 - 100) x 2 = 0 and (250 - 200 + 50) x 2 = 200; zooming first would give 100 and 150.
  EXPECT_EQ(world->PosX[0], 0.0);
  EXPECT_EQ(world->PosY[0], 575.0);

  // Between pixels: (437.25 - 300 - 250) x 3 and (123.5 - 200 + 75) x 3.
  world->Zoom = 3;
  world->OffsetX = 250;
  world->OffsetY = -75;
  ScriptUniverse(0, 0, BodyDraws{});
  ReleaseAt(437.25F, 123.5F);
  EXPECT_EQ(world->PosX[0], -338.25);
  EXPECT_EQ(world->PosY[0], -4.5 + 375.0);
}

TEST_F(Seeding, DriftIsTwiceTheDrawLessOneRoundedToSingle) {
  BodyDraws draws;
  draws.VelocityX = 0.35F;  // 2 x 0.35F - 1 is -0.300000011920928955..., which is -0.3F
  draws.VelocityY = 0.85F;  // 0.70000004768371582..., one single above 0.7F
  for (int placement = 0; placement < 2; ++placement) {
    SCOPED_TRACE(testing::Message() << "placement " << placement);
    ScriptUniverse(placement, 1, draws);
    ReleaseAt(300, 200);
    EXPECT_EQ(world->VelX[0], -0.3F);
    EXPECT_EQ(world->VelY[0], 0x1.666668p-1F);
  }
}

TEST_F(Seeding, SpreadIgnoresTheClickAndTheOffsets) {
  world->Zoom = 2;
  world->OffsetX = 100;
  world->OffsetY = -50;
  BodyDraws draws;
  draws.MassA = 0.25F;  // mass 0.125 x 5 + 0.1
  draws.Angle = 0.5F;   // 180 degrees
  draws.RadiusA = 0.25F;
  ScriptUniverse(1, 3, draws);
  ReleaseAt(17, 391);
  EXPECT_EQ(world->PosX[0], -300.0);  // (0.25 x 600 - 300) x 2
  EXPECT_EQ(world->PosY[0], 200.0);   // (0.75 x 400 - 200) x 2
  // The swirl at 180 + 90 degrees: mass 0.725, radius 437.5.
  EXPECT_EQ(world->VelX[0], -0x1.34f72cp+0F);
  EXPECT_EQ(world->VelY[0], 0x1.ea20b6p-51F);
}

TEST_F(Seeding, SwirlAddsTheQuarterTurnInSinglePrecision) {
  BodyDraws draws;
  draws.Angle = 0.003F;  // 1.08000004 degrees; + 90 in single is 91.0800018
  ScriptUniverse(0, 3, draws);
  ReleaseAt(400, 250);
  EXPECT_EQ(world->VelX[0], 0x1.1c64d8p-1F);
  // Adding the quarter turn in double would give -0x1.572018p-7.
  EXPECT_EQ(world->VelY[0], -0x1.57203ep-7F);
}

TEST_F(Seeding, ReleaseAtTheCentreRingsEveryBodyWithin500OfTheOrigin) {
  script = {PlacementDraw(0)};  // the rest comes from the clock-seeded generator
  ReleaseAt(300, 200);
  for (size_t i = 0; i < BodyCount; ++i) {
    // 500 at most, give or take the rounding of the sine and cosine.
    EXPECT_LE(std::hypot(world->PosX[i], world->PosY[i]), 500.0 + 1e-9) << "body " << i;
  }
}

TEST_F(Seeding, SpreadAtZoomThreeStaysInsideTheZoomedSurfaceWhateverTheOffsets) {
  world->Zoom = 3;
  const int16_t offsets[] = {-10000, 0, 10000};
  for (const int16_t offset : offsets) {
    world->OffsetX = offset;
    world->OffsetY = static_cast<int16_t>(-offset);
    // The extremes of the generator, then whatever the generator gives.
    for (const float extreme : {0.0F, LargestRnd}) {
      BodyDraws draws;
      draws.SpreadX = extreme;
      draws.SpreadY = extreme;
      ScriptUniverse(1, 0, draws);
      ReleaseAt(5, 5);
      EXPECT_EQ(world->PosX[0], extreme == 0.0F ? -900.0 : 900.0 - 1800.0 / 16777216.0);
      EXPECT_EQ(world->PosY[0], extreme == 0.0F ? -600.0 : 600.0 - 1200.0 / 16777216.0);
    }
    script = {PlacementDraw(1)};
    ReleaseAt(5, 5);
    for (size_t i = 0; i < BodyCount; ++i) {
      EXPECT_GE(world->PosX[i], -900.0);
      EXPECT_LT(world->PosX[i], 900.0);
      EXPECT_GE(world->PosY[i], -600.0);
      EXPECT_LT(world->PosY[i], 600.0);
    }
  }
}

TEST_F(Seeding, ReleaseWithoutAUsablePositionRingsTheSurfaceCentre) {
  world->Zoom = 2;
  world->OffsetX = 100;
  world->OffsetY = -50;
  constexpr float Inf = std::numeric_limits<float>::infinity();
  constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float Huge = std::numeric_limits<float>::max();  // overflows once zoomed
  const float positions[][2] = {{NaN, 200}, {300, Inf}, {-Inf, NaN}, {Huge, -Huge}};
  for (const auto& position : positions) {
    SCOPED_TRACE(testing::Message() << "release at " << position[0] << ", " << position[1]);
    ScriptUniverse(0, 2, BodyDraws{});
    ReleaseAt(position[0], position[1]);
    // The surface centre is the world point (-100 x 2, 50 x 2); the angle-0 body lies 375 below.
    EXPECT_EQ(world->PosX[0], -200.0);
    EXPECT_EQ(world->PosY[0], 475.0);
  }
}

// Velocities, masses and colours

TEST_F(Seeding, BodiesAtRestHaveExactlyZeroVelocity) {
  world->VelX.fill(3.5F);
  world->VelY.fill(-2.0F);
  for (int placement = 0; placement < 2; ++placement) {
    script = {PlacementDraw(placement), PatternDraw(0)};
    ReleaseAt(123, 45);
    for (size_t i = 0; i < BodyCount; ++i) {
      EXPECT_EQ(world->VelX[i], 0.0F);
      EXPECT_EQ(world->VelY[i], 0.0F);
    }
  }
}

TEST_F(Seeding, MassAndRadiusAreWorkedOutInSinglePrecision) {
  // Draws for which single and double arithmetic round to different singles.
  BodyDraws draws;
  draws.MassA = 0x1.dd369cp-2F;
  draws.MassB = 0x1.cd18cp-5F;
  draws.RadiusA = draws.MassA;
  draws.RadiusB = draws.MassB;
  ScriptUniverse(0, 0, draws);
  ReleaseAt(300, 200);
  EXPECT_EQ(world->Mass[0], 0x1.d967c4p-3F);  // + 0.1 in double would give 0x1.d967c2p-3
  // The angle-0 body lies one radius below the centre; in double it would be 0x1.e6e26ep+8.
  EXPECT_EQ(world->PosY[0], 0x1.e6e27p+8);
}

TEST_F(Seeding, ColourSweepsRedAndGreenRoundTheRingAndBlueOutwards) {
  struct Case {
    float AngleDraw;
    float RadiusA;
    int16_t R, G, B;
  };
  const Case cases[] = {
      {0.0F, 0.0F, 0, 255, 255},    // angle 0, radius 500
      {0.5F, 0.0F, 128, 128, 255},  // angle 180: 127.5 goes to the even 128
      {0.25F, 0.5F, 64, 191, 191},  // angle 90: 63.75 and 191.25; radius 375: 191.25
      {0.0F, 0.98F, 0, 255, 130},   // radius 500 - 0.49 x 500 = 255: 130.05
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "angle draw " << c.AngleDraw << ", radius a " << c.RadiusA);
    BodyDraws draws;
    draws.Angle = c.AngleDraw;
    draws.RadiusA = c.RadiusA;
    ScriptUniverse(0, 0, draws);
    ReleaseAt(300, 200);
    EXPECT_EQ(world->ColorR[0], c.R);
    EXPECT_EQ(world->ColorG[0], c.G);
    EXPECT_EQ(world->ColorB[0], c.B);
  }
}

// What a release changes and what it leaves alone

TEST_F(Seeding, AnyButtonSeedsAndReturnsToSimulation) {
  for (const int button : {1, 2, 4}) {
    SCOPED_TRACE(testing::Message() << "button " << button);
    world->Mass.fill(0.0F);
    timers.t.Enabled = false;  // in playback
    timers.h.Enabled = true;
    script.clear();
    ReleaseAt(300, 200, button, button == 2 ? 1 : 0);
    EXPECT_TRUE(timers.t.Enabled);
    EXPECT_FALSE(timers.h.Enabled);
    for (size_t i = 0; i < BodyCount; ++i) {
      EXPECT_GE(world->Mass[i], 0.1F);
    }
  }
}

TEST_F(Seeding, ViewSelectionTrailsAndRecordingAreLeftAlone) {
  world->TickCounter = 1234;
  world->RecordIndex = 77;
  world->Zoom = 7;
  world->OffsetX = -321;
  world->OffsetY = 654;
  world->Selected = 42;
  world->EraseOld = False;
  world->HistX[5][6] = 99;
  world->HistBig[3000][80] = True;
  ReleaseAt(10, 20);
  EXPECT_EQ(world->TickCounter, 1234);
  EXPECT_EQ(world->RecordIndex, 77);
  EXPECT_EQ(world->Zoom, 7);
  EXPECT_EQ(world->OffsetX, -321);
  EXPECT_EQ(world->OffsetY, 654);
  EXPECT_EQ(world->Selected, 42);
  EXPECT_EQ(world->EraseOld, False);
  EXPECT_EQ(world->HistX[5][6], 99);
  EXPECT_EQ(world->HistBig[3000][80], True);
}

TEST_F(Seeding, ReleaseClearsTheSurfaceAndDrawsTheOverlay) {
  PSet(surface, 20, 30, White);  // a trail left by the old universe
  ReleaseAt(20, 30);
  EXPECT_EQ(PixelAt(surface, 20, 30), Black);
  // The centre ring, radius 5 around (300, 200), in dark grey.
  EXPECT_EQ(PixelAt(surface, 305, 200), RGB(30, 30, 30));
  EXPECT_EQ(PixelAt(surface, 310, 200), RGB(30, 30, 30));  // the origin ring, radius 10
}

// The random source

TEST(RandomSource, DrawsAreTwentyFourBitFractionsBelowOne) {
  RandomSource random;
  random.State = 12345;
  float lowest = 1.0F;
  float highest = 0.0F;
  for (int n = 0; n < 100000; ++n) {
    const float value = Rnd(random);
    ASSERT_GE(value, 0.0F);
    ASSERT_LT(value, 1.0F);
    const float bits = value * 16777216.0F;
    ASSERT_EQ(bits, std::floor(bits));
    lowest = std::min(lowest, value);
    highest = std::max(highest, value);
  }
  EXPECT_LT(lowest, 0.001F);
  EXPECT_GT(highest, 0.999F);
  EXPECT_EQ(random.Draws, 100000U);
}

TEST(RandomSource, ReseedingStartsANewSequence) {
  RandomSource first;
  Randomize(first);
  RandomSource second = first;
  Randomize(second);
  EXPECT_NE(first.State, second.State);
  int same = 0;
  for (int n = 0; n < 8; ++n) {
    same += Rnd(first) == Rnd(second) ? 1 : 0;
  }
  EXPECT_LT(same, 8);
}

TEST(RandomSource, ScriptedValuesComeFirstAndInOrderThenTheGenerator) {
  const float values[] = {0.5F, 0.0F, 0.25F};
  RandomSource random{.State = 7, .Script = values};
  Randomize(random);  // reseeding keeps the script
  EXPECT_EQ(Rnd(random), 0.5F);
  EXPECT_EQ(Rnd(random), 0.0F);
  EXPECT_EQ(Rnd(random), 0.25F);
  EXPECT_TRUE(random.Script.empty());
  const float next = Rnd(random);
  EXPECT_GE(next, 0.0F);
  EXPECT_LT(next, 1.0F);
  EXPECT_EQ(random.Draws, 4U);
}

}  // namespace
