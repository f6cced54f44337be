#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sim/attract_body.h"
#include "sim/move_body.h"
#include "sim/simulation_tick.h"
#include "view/surface.h"
#include "view/timers.h"
#include "view/view.h"
#include "world/world.h"

namespace {

// The World holds about 1.5 MB of history, too much for a test's stack.
std::unique_ptr<World> NewWorld() {
  auto world = std::make_unique<World>();
  StartUp(*world);
  return world;
}

size_t Body(int i) {
  return static_cast<size_t>(i);
}

void PlaceAll(World& world, double x, double y) {
  world.PosX.fill(x);
  world.PosY.fill(y);
}

// One body's pull on another, written out from the force law with its own order of rounding: the
// power in double, the mass ratio rounded to single, the product left to right in double.
double Pull(double delta, double distance, float pullerMass, float pulledMass) {
  const double factor = std::pow(5.0 / (distance + 0.1), 2.3);
  const auto ratio = static_cast<float>((static_cast<double>(pullerMass) + 1) /
                                        (static_cast<double>(pulledMass) + 1));
  return ((delta * factor) * 0.01) * static_cast<double>(ratio);
}

float AddedTo(float velocity, double pull) {
  return static_cast<float>(static_cast<double>(velocity) + pull);
}

// ---------------------------------------------------------------------------------------------
// Motion and wrap-around

TEST(BodyMotion, LeavingOneEdgeReentersAtTheOpposite) {
  auto world = NewWorld();
  world->PosX[0] = 9999.5;
  world->VelX[0] = 1;
  world->PosY[0] = -9999.5;
  world->VelY[0] = -1;

  MoveBody(*world, 0);

  EXPECT_EQ(world->PosX[0], -9999.5);  // out on the right, in on the left
  EXPECT_EQ(world->PosY[0], 9999.5);   // out at the top, in at the bottom
}

TEST(BodyMotion, TheEdgesThemselvesAreInside) {
  auto world = NewWorld();
  world->PosX[0] = -10000;
  world->PosY[0] = 10000;
  world->PosX[1] = 9999;
  world->VelX[1] = 1;
  world->PosY[1] = -9999;
  world->VelY[1] = -1;

  MoveBody(*world, 0);
  MoveBody(*world, 1);

  EXPECT_EQ(world->PosX[0], -10000);
  EXPECT_EQ(world->PosY[0], 10000);
  EXPECT_EQ(world->PosX[1], 10000);
  EXPECT_EQ(world->PosY[1], -10000);
}

TEST(BodyMotion, AFarAwayBodyComesBackOneWorldWidthPerTick) {
  auto world = NewWorld();
  world->PosX[0] = 45000;
  world->PosY[0] = -45000;
  world->PosX[1] = -30000;
  world->PosY[1] = 30000;

  MoveBody(*world, 0);
  MoveBody(*world, 1);
  EXPECT_EQ(world->PosX[0], 25000);
  EXPECT_EQ(world->PosY[0], -25000);
  EXPECT_EQ(world->PosX[1], -10000);  // the second correction sees -10000, which is inside
  EXPECT_EQ(world->PosY[1], 10000);

  MoveBody(*world, 0);
  MoveBody(*world, 1);
  EXPECT_EQ(world->PosX[0], 5000);
  EXPECT_EQ(world->PosY[0], -5000);
  EXPECT_EQ(world->PosX[1], -10000);
  EXPECT_EQ(world->PosY[1], 10000);

  MoveBody(*world, 0);
  EXPECT_EQ(world->PosX[0], 5000);
  EXPECT_EQ(world->PosY[0], -5000);
}

TEST(BodyMotion, TheSingleVelocityIsAddedToTheDoublePositionWithoutLoss) {
  auto world = NewWorld();
  world->PosX[3] = 0.1;
  world->VelX[3] = 0.1F;
  world->PosY[3] = 1e-9;
  world->VelY[3] = 1000;

  MoveBody(*world, 3);

  EXPECT_EQ(world->PosX[3], 0.1 + static_cast<double>(0.1F));
  EXPECT_EQ(world->PosY[3], 1e-9 + 1000.0);  // a single sum would lose the 1e-9
}

TEST(BodyMotion, OnlyTheGivenBodyMovesAndABodyAtRestStaysExactlyPut) {
  auto world = NewWorld();
  world->PosX.fill(12.375);
  world->PosY.fill(-7.5);
  world->VelX.fill(3);
  world->VelY.fill(4);
  world->VelX[10] = 0;
  world->VelY[10] = 0;

  MoveBody(*world, 10);
  MoveBody(*world, 11);

  EXPECT_EQ(world->PosX[10], 12.375);
  EXPECT_EQ(world->PosY[10], -7.5);
  EXPECT_EQ(world->PosX[11], 15.375);
  EXPECT_EQ(world->PosY[11], -3.5);
  for (int i = 0; i < BodyCount; ++i) {
    if (i != 10 && i != 11) {
      EXPECT_EQ(world->PosX[Body(i)], 12.375) << "body " << i;
      EXPECT_EQ(world->PosY[Body(i)], -7.5) << "body " << i;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Attraction. Bodies that coincide with the pulled one pull with exactly zero, so parking the
// others on body i leaves only the pulls a test sets up.

TEST(Attraction, ANeighbourOfEqualMassPullsStraightTowardsItself) {
  auto world = NewWorld();
  world->Mass.fill(1);
  world->PosX[1] = 100;

  AttractBody(*world, 0);

  EXPECT_EQ(world->VelX[0], AddedTo(0, Pull(100, 100, 1, 1)));
  EXPECT_NEAR(world->VelX[0], 0.0010154, 1e-7);
  EXPECT_EQ(world->VelY[0], 0);

  // The same pull from above points up, and adds to the velocity already there.
  auto above = NewWorld();
  above->Mass.fill(1);
  above->PosY[1] = -100;
  above->VelY[0] = 0.5F;
  AttractBody(*above, 0);
  EXPECT_EQ(above->VelX[0], 0);
  EXPECT_EQ(above->VelY[0], AddedTo(0.5F, Pull(-100, 100, 1, 1)));
  EXPECT_LT(above->VelY[0], 0.5F);
}

TEST(Attraction, CoincidentBodiesPullWithExactlyZero) {
  auto world = NewWorld();
  PlaceAll(*world, 123.25, -50);
  for (int i = 0; i < BodyCount; ++i) {
    world->Mass[Body(i)] = 0.1F + static_cast<float>(i % 6);
    world->VelX[Body(i)] = 0.25F * static_cast<float>(i);
    world->VelY[Body(i)] = -1.0F / static_cast<float>(i + 1);
  }
  const auto before = std::make_unique<World>(*world);

  for (int i = 0; i < BodyCount; ++i) {
    AttractBody(*world, i);
  }

  EXPECT_EQ(world->VelX, before->VelX);
  EXPECT_EQ(world->VelY, before->VelY);
  EXPECT_EQ(world->PosX, before->PosX);
  EXPECT_EQ(world->PosY, before->PosY);
}

TEST(Attraction, ABodyNeverPullsItself) {
  // Any pull from a body at the same place is zero, so a self-pull can only show in the sign of
  // a zero: the others sit at -0 and pull with -0, which keeps a velocity of -0; a self-pull would
  // add +0 (0 - 0) and turn it into +0.
  auto world = NewWorld();
  PlaceAll(*world, -0.0, -0.0);
  world->PosX[7] = 0.0;
  world->PosY[7] = 0.0;
  world->VelX[7] = -0.0F;
  world->VelY[7] = -0.0F;

  AttractBody(*world, 7);

  EXPECT_EQ(world->VelX[7], 0);
  EXPECT_TRUE(std::signbit(world->VelX[7]));
  EXPECT_TRUE(std::signbit(world->VelY[7]));
}

TEST(Attraction, MasslessBodiesPullLikeBodiesOfEqualMass) {
  auto massless = NewWorld();  // as before the first seeding
  massless->PosX[1] = 100;
  AttractBody(*massless, 0);

  auto equal = NewWorld();
  equal->Mass.fill(2.5F);
  equal->PosX[1] = 100;
  AttractBody(*equal, 0);

  EXPECT_EQ(massless->VelX[0], AddedTo(0, Pull(100, 100, 0, 0)));
  EXPECT_EQ(massless->VelX[0], equal->VelX[0]);
}

TEST(Attraction, LighterBodiesArePulledHarderThanHeavierOnes) {
  auto light = NewWorld();  // mass 1 pulled by mass 3: ratio 4 / 2
  light->Mass.fill(1);
  light->Mass[1] = 3;
  light->PosX[1] = 100;
  AttractBody(*light, 0);

  auto heavy = NewWorld();  // mass 3 pulled by mass 1: ratio 2 / 4
  heavy->Mass.fill(3);
  heavy->Mass[1] = 1;
  heavy->PosX[1] = 100;
  AttractBody(*heavy, 0);

  const float equalPull = AddedTo(0, Pull(100, 100, 1, 1));
  EXPECT_EQ(light->VelX[0], 2 * equalPull);
  EXPECT_EQ(heavy->VelX[0], equalPull / 2);
}

TEST(Attraction, BodiesNearOppositeEdgesPullAcrossTheWholeWorld) {
  // The distance ignores the wrap: 19998 units through the middle, not 2 across the edge.
  auto world = NewWorld();
  PlaceAll(*world, -9999, 0);
  world->PosX[1] = 9999;

  AttractBody(*world, 0);

  EXPECT_GT(world->VelX[0], 0);
  EXPECT_EQ(world->VelX[0], AddedTo(0, Pull(19998, 19998, 0, 0)));
  EXPECT_LT(world->VelX[0], 1e-5);
}

TEST(Attraction, EachPullIsRoundedIntoTheVelocityBeforeTheNext) {
  // Each of the 80 distant pulls is far below half a unit in the last place of a velocity of
  // 1000, so each one is rounded away on its own, although together they exceed that unit.
  auto world = NewWorld();
  PlaceAll(*world, 10000, 0);
  world->PosX[0] = 0;
  world->VelX[0] = 1000;

  AttractBody(*world, 0);

  const double onePull = Pull(10000, 10000, 0, 0);
  const float summedOnce = AddedTo(1000, 80 * onePull);
  ASSERT_NE(summedOnce, 1000.0F);
  EXPECT_EQ(world->VelX[0], 1000.0F);
}

TEST(Attraction, PositionsAndOtherVelocitiesAreLeftAlone) {
  auto world = NewWorld();
  for (int i = 0; i < BodyCount; ++i) {
    world->PosX[Body(i)] = 37.0 * i - 1500;
    world->PosY[Body(i)] = 900 - 23.0 * i;
    world->Mass[Body(i)] = 0.5F * static_cast<float>(i % 7);
  }
  const auto before = std::make_unique<World>(*world);

  AttractBody(*world, 40);

  EXPECT_EQ(world->PosX, before->PosX);
  EXPECT_EQ(world->PosY, before->PosY);
  for (int i = 0; i < BodyCount; ++i) {
    if (i != 40) {
      EXPECT_EQ(world->VelX[Body(i)], 0) << "body " << i;
      EXPECT_EQ(world->VelY[Body(i)], 0) << "body " << i;
    }
  }
  EXPECT_NE(world->VelX[40], 0);
  EXPECT_NE(world->VelY[40], 0);
}

}  // namespace
