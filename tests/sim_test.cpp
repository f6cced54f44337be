#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "history/record.h"
#include "seed/random.h"
#include "seed/seed_universe.h"
#include "sim/attract_body.h"
#include "sim/move_and_draw_body.h"
#include "sim/move_body.h"
#include "sim/simulation_tick.h"
#include "tests/scene.h"
#include "tests/support.h"
#include "view/surface.h"
#include "view/timers.h"
#include "view/view.h"
#include "world/world.h"

namespace {

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
  world->PosX[2] = -45000;
  world->PosY[2] = 45000;

  MoveBody(*world, 0);
  MoveBody(*world, 1);
  MoveBody(*world, 2);
  EXPECT_EQ(world->PosX[0], 25000);
  EXPECT_EQ(world->PosY[0], -25000);
  EXPECT_EQ(world->PosX[2], -25000);
  EXPECT_EQ(world->PosY[2], 25000);
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

// ---------------------------------------------------------------------------------------------
// The tick: order of the steps

TEST(SimulationTick, LaterBodiesFeelEarlierBodiesAtTheirNewPlaces) {
  // Body 1 is pulled by body 0, already moved from 100 to 150, and by body 2, not yet moved from
  // -100. The others sit on body 1 and pull with zero.
  auto world = NewWorld();
  world->Mass.fill(1);
  world->PosX[0] = 100;
  world->VelX[0] = 50;
  world->PosX[2] = -100;
  world->VelX[2] = -50;
  Surface surface;
  ResizeSurface(surface, 200, 200);
  Timers timers;

  SimulationTick(*world, surface, timers);

  const float expected = AddedTo(AddedTo(0, Pull(150, 150, 1, 1)), Pull(-100, 100, 1, 1));
  ASSERT_NE(expected, AddedTo(AddedTo(0, Pull(100, 100, 1, 1)), Pull(-100, 100, 1, 1)));
  ASSERT_NE(expected, AddedTo(AddedTo(0, Pull(150, 150, 1, 1)), Pull(-150, 150, 1, 1)));
  EXPECT_EQ(world->VelX[1], expected);
  EXPECT_EQ(world->PosX[0], 150);
  EXPECT_EQ(world->PosX[2], -150);
}

TEST(SimulationTick, AVelocityChangeFirstMovesTheBodyInTheNextTick) {
  auto world = NewWorld();
  world->Mass.fill(1);
  world->PosX[80] = 100;  // the others sit at the origin
  Surface surface;
  ResizeSurface(surface, 200, 200);
  Timers timers;

  SimulationTick(*world, surface, timers);
  EXPECT_EQ(world->PosX[0], 0);
  EXPECT_EQ(world->PosX[80], 100);
  const float first = world->VelX[0];
  const float last = world->VelX[80];
  EXPECT_GT(first, 0);
  EXPECT_LT(last, 0);

  SimulationTick(*world, surface, timers);
  EXPECT_EQ(world->PosX[0], static_cast<double>(first));
  EXPECT_EQ(world->PosX[80], 100 + static_cast<double>(last));
}

// ---------------------------------------------------------------------------------------------
// The tick: what the bodies look like

// A body alone on a 100 x 100 surface at zoom 1: the others are parked far outside it.
struct LoneBody {
  std::unique_ptr<World> world = NewWorld();
  Surface surface;
  Timers timers;

  LoneBody(double x, double y, float mass) {
    PlaceAll(*world, 9000, 9000);
    world->PosX[80] = x;
    world->PosY[80] = y;
    world->Mass[80] = mass;
    ResizeSurface(surface, 100, 100);
  }
};

TEST(BodyDrawing, ADiscHasAFullColourRimAndAHalfBrightnessInside) {
  LoneBody scene(0, 0, 5);  // centred on pixel (50, 50), radius 6
  scene.world->ColorR[80] = 255;
  scene.world->ColorG[80] = 0;
  scene.world->ColorB[80] = 127;

  SimulationTick(*scene.world, scene.surface, scene.timers);

  const Colour rim = RGB(255, 0, 127);
  const Colour inside = RGB(128, 0, 64);
  EXPECT_EQ(PixelAt(scene.surface, 50, 50), inside);
  EXPECT_EQ(PixelAt(scene.surface, 53, 52), inside);
  EXPECT_EQ(PixelAt(scene.surface, 44, 50), rim);
  EXPECT_EQ(PixelAt(scene.surface, 56, 50), rim);
  EXPECT_EQ(PixelAt(scene.surface, 50, 44), rim);
  EXPECT_EQ(PixelAt(scene.surface, 50, 56), rim);
  // Radius Mass + 1 = 6, not 5: nothing beyond six pixels out.
  EXPECT_EQ(PixelAt(scene.surface, 43, 50), Black);
  EXPECT_EQ(PixelAt(scene.surface, 57, 50), Black);
  EXPECT_EQ(scene.surface.Fill, Black);  // left black for the next body's erase circle

  // Halves that fall on .5 go to the even neighbour, down as often as up.
  LoneBody dim(0, 0, 5);
  dim.world->ColorR[80] = 5;
  dim.world->ColorG[80] = 10;
  dim.world->ColorB[80] = 1;
  SimulationTick(*dim.world, dim.surface, dim.timers);
  EXPECT_EQ(PixelAt(dim.surface, 50, 50), RGB(2, 5, 0));
  EXPECT_EQ(PixelAt(dim.surface, 44, 50), RGB(5, 10, 1));
}

TEST(BodyDrawing, OutOfRangeColourComponentsAreClamped) {
  LoneBody scene(0, 0, 5);
  scene.world->ColorR[80] = 300;
  scene.world->ColorG[80] = -5;
  scene.world->ColorB[80] = 1000;

  SimulationTick(*scene.world, scene.surface, scene.timers);

  EXPECT_EQ(PixelAt(scene.surface, 44, 50), RGB(255, 0, 255));
  EXPECT_EQ(PixelAt(scene.surface, 50, 50), RGB(128, 0, 128));
}

TEST(BodyDrawing, TheLightestBodyHasRadiusOnePointOne) {
  // Centred at x = 50.05: pixel 49 lies 1.05 away, inside radius 1.1 but outside radius 1.
  LoneBody scene(0.05, 0, 0.1F);
  scene.world->ColorR[80] = 200;

  SimulationTick(*scene.world, scene.surface, scene.timers);

  EXPECT_NE(PixelAt(scene.surface, 49, 50), Black);
  EXPECT_NE(PixelAt(scene.surface, 51, 50), Black);
  EXPECT_NE(PixelAt(scene.surface, 50, 49), Black);
  EXPECT_EQ(PixelAt(scene.surface, 48, 50), Black);
  EXPECT_EQ(PixelAt(scene.surface, 49, 49), Black);
}

// 81 bodies on a 9 x 9 grid 2000 units apart, all drifting the same way, seen whole at zoom 40:
// their discs are 50 pixels apart and never overlap.
struct DriftingGrid {
  std::unique_ptr<World> world = NewWorld();
  Surface surface;
  Timers timers;

  DriftingGrid() {
    world->Zoom = 40;
    for (int i = 0; i < BodyCount; ++i) {
      const size_t b = Body(i);
      const int column = i % 9;
      const int row = i / 9;
      world->PosX[b] = 2000.0 * column - 8000;
      world->PosY[b] = 2000.0 * row - 8000;
      world->VelX[b] = 30;
      world->VelY[b] = 10;
      world->Mass[b] = 0.1F + static_cast<float>(i % 5);
      world->ColorR[b] = static_cast<int16_t>(100 + i);
      world->ColorG[b] = 200;
      world->ColorB[b] = static_cast<int16_t>(i);
    }
    ResizeSurface(surface, 626, 549);
  }

  ScreenPoint Centre(int i) const {
    return WorldToScreen(*world, surface, world->PosX[Body(i)], world->PosY[Body(i)]);
  }

  // Whether pixel (px, py) is covered by, or touches, a body's disc where the body is now.
  bool NearABody(int px, int py) const {
    for (int i = 0; i < BodyCount; ++i) {
      const ScreenPoint c = Centre(i);
      const double reach = static_cast<double>(world->Mass[Body(i)]) + 2;
      if (std::hypot(px - static_cast<double>(c.X), py - static_cast<double>(c.Y)) <= reach) {
        return true;
      }
    }
    return false;
  }

  void Run(int ticks) {
    for (int n = 0; n < ticks; ++n) {
      SimulationTick(*world, surface, timers);
    }
  }
};

int Rounded(float coordinate) {
  return static_cast<int>(std::nearbyint(coordinate));
}

TEST(BodyDrawing, WithErasingOnEachBodyShowsAsOneDiscWhereItIsNow) {
  DriftingGrid grid;  // StartUp switched erasing on

  grid.Run(300);  // 9000 units across and 3000 down, wrapping on the way

  int stray = 0;
  for (int py = 0; py < grid.surface.Height; ++py) {
    for (int px = 0; px < grid.surface.Width; ++px) {
      if (PixelAt(grid.surface, px, py) != Black && !grid.NearABody(px, py)) {
        ++stray;
      }
    }
  }
  EXPECT_EQ(stray, 0);
  for (int i = 0; i < BodyCount; ++i) {
    const ScreenPoint c = grid.Centre(i);
    EXPECT_NE(PixelAt(grid.surface, Rounded(c.X), Rounded(c.Y)), Black) << "body " << i;
  }
}

TEST(BodyDrawing, WithErasingOffEveryDiscStaysAsATrail) {
  DriftingGrid grid;
  grid.world->EraseOld = False;
  ScreenPoint start[BodyCount];
  for (int i = 0; i < BodyCount; ++i) {
    start[i] = grid.Centre(i);
  }

  grid.Run(300);

  for (int i = 0; i < BodyCount; ++i) {
    const int px = Rounded(start[i].X);
    const int py = Rounded(start[i].Y);
    ASSERT_FALSE(grid.NearABody(px, py)) << "body " << i;
    EXPECT_NE(PixelAt(grid.surface, px, py), Black) << "body " << i;
  }
}

TEST(BodyDrawing, BeforeTheFirstSeedingTheTickDrawsBlackDotsAtTheOriginAndChangesNothing) {
  auto world = NewWorld();
  Surface surface;
  ResizeSurface(surface, 100, 100);
  PaintAll(surface, White);
  Timers timers;

  for (int n = 0; n < 50; ++n) {
    SimulationTick(*world, surface, timers);
  }

  for (int i = 0; i < BodyCount; ++i) {
    EXPECT_EQ(world->PosX[Body(i)], 0);
    EXPECT_EQ(world->PosY[Body(i)], 0);
    EXPECT_EQ(world->VelX[Body(i)], 0);
    EXPECT_EQ(world->VelY[Body(i)], 0);
  }
  // Radius 1 at pixel (50, 50): the centre and its four neighbours.
  int black = 0;
  for (int py = 0; py < 100; ++py) {
    for (int px = 0; px < 100; ++px) {
      black += PixelAt(surface, px, py) == Black ? 1 : 0;
    }
  }
  EXPECT_EQ(black, 5);
  EXPECT_EQ(PixelAt(surface, 50, 50), Black);
  EXPECT_EQ(PixelAt(surface, 49, 50), Black);
  EXPECT_EQ(PixelAt(surface, 51, 50), Black);
  EXPECT_EQ(PixelAt(surface, 50, 49), Black);
  EXPECT_EQ(PixelAt(surface, 50, 51), Black);
  EXPECT_TRUE(timers.t.Enabled);
}

// ---------------------------------------------------------------------------------------------
// The tick works in phases, and must give exactly what taking the bodies one by one gives.

// The tick as the rules state it, one body at a time: the oracle the tick is held to.
void TickBodyByBody(World& world, Surface& surface, Timers& timers) {
  for (int i = 0; i < BodyCount; ++i) {
    MoveAndDrawBody(world, surface, i);
    AttractBody(world, i);
    RecordBody(world, i);
  }
  AdvanceRecorder(world, surface, timers);
}

// Equal to the last bit (a single widens exactly); any NaN matches any NaN, whatever its payload.
bool Same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) ||
         std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// Runs the tick and the body-by-body tick side by side from the same start, comparing every body
// after every tick and the pixels, history and counters at the end.
void ExpectTheBodyByBodyResults(const World& start, const Surface& surface, int ticks) {
  const auto fast = std::make_unique<World>(start);
  const auto oracle = std::make_unique<World>(start);
  Surface fastSurface = surface;
  Surface oracleSurface = surface;
  Timers fastTimers;
  Timers oracleTimers;
  for (int n = 0; n < ticks; ++n) {
    SimulationTick(*fast, fastSurface, fastTimers);
    TickBodyByBody(*oracle, oracleSurface, oracleTimers);
    for (size_t b = 0; b < BodyCount; ++b) {
      ASSERT_TRUE(Same(fast->PosX[b], oracle->PosX[b]) && Same(fast->PosY[b], oracle->PosY[b]) &&
                  Same(fast->VelX[b], oracle->VelX[b]) && Same(fast->VelY[b], oracle->VelY[b]))
          << "tick " << n << ", body " << b;
    }
  }
  EXPECT_TRUE(fastSurface.Pixels == oracleSurface.Pixels);
  EXPECT_TRUE(fast->HistX == oracle->HistX && fast->HistY == oracle->HistY &&
              fast->HistBig == oracle->HistBig);
  EXPECT_EQ(fast->TickCounter, oracle->TickCounter);
  EXPECT_EQ(fast->RecordIndex, oracle->RecordIndex);
}

#ifdef NDEBUG
constexpr int TicksPerUniverse = 1500;
#else
constexpr int TicksPerUniverse = 200;  // the sanitizer build is many times slower
#endif

TEST(PhasedTick, MatchesTheBodyByBodyTickForEveryPlacementPatternAndZoom) {
  SceneRandom random{.State = 7};
  int universe = 0;
  for (const int16_t zoom : {MinZoom, MaxZoom}) {
    for (int placement = 0; placement < 2; ++placement) {
      for (int pattern = 0; pattern < 4; ++pattern, ++universe) {
        SCOPED_TRACE(testing::Message()
                     << "zoom " << zoom << ", placement " << placement << ", pattern " << pattern);
        // Scripted draws for the whole seeding, so every run seeds the same universes.
        std::array<float, 2 + 9 * BodyCount> draws{placement == 0 ? 0.25F : 0.75F,
                                                   (static_cast<float>(pattern) + 0.5F) / 4.0F};
        for (size_t k = 2; k < draws.size(); ++k) {
          draws[k] = random.NextFloat();
        }
        RandomSource source;
        source.Script = draws;
        auto world = NewWorld();
        world->Zoom = zoom;
        world->EraseOld = universe % 3 == 2 ? False : True;
        Surface surface = MakeSurface(626, 549);
        Timers timers;
        SeedUniverse(*world, surface, timers, source, 1, 0, 40.0F * static_cast<float>(universe),
                     300);

        ExpectTheBodyByBodyResults(*world, surface, TicksPerUniverse);
      }
    }
  }
}

// A body at +0 among bodies at -0 is pulled by -0 alone and keeps a velocity of -0; a body that is
// not a number spreads to every body it pulls.
TEST(PhasedTick, KeepsSignedZerosAndSpreadsNaNLikeTheBodyByBodyTick) {
  auto world = NewWorld();
  const Surface surface = MakeSurface(626, 549);
  world->PosX.fill(-0.0);
  world->PosY.fill(-0.0);
  world->VelX.fill(-0.0F);
  world->VelY.fill(-0.0F);
  world->PosX[40] = 0.0;
  world->PosY[40] = 0.0;
  ExpectTheBodyByBodyResults(*world, surface, 1);

  world->PosX[40] = std::numeric_limits<double>::quiet_NaN();
  ExpectTheBodyByBodyResults(*world, surface, 3);
}

// ---------------------------------------------------------------------------------------------
// Determinism: the same universe evolves bit for bit the same with any compiler and optimisation.

TEST(Determinism, AFixedUniverseEndsInTheSameStateAfter2000Ticks) {
  constexpr uint64_t Golden = 0xbfccbd6d47fac298;
  auto world = NewWorld();
  BuildFixedUniverse(*world);
  Surface surface;
  ResizeSurface(surface, 626, 549);
  Timers timers;

  for (int n = 0; n < 2000; ++n) {
    SimulationTick(*world, surface, timers);
  }

  const uint64_t hash = BodiesHash(FnvStart, *world);
  char actual[32];
  std::snprintf(actual, sizeof actual, "0x%016llx", static_cast<unsigned long long>(hash));
  EXPECT_EQ(hash, Golden) << "state hash after 2000 ticks is " << actual;
  EXPECT_TRUE(timers.t.Enabled);
  for (int i = 0; i < BodyCount; ++i) {
    ASSERT_TRUE(std::isfinite(world->PosX[Body(i)]) && std::isfinite(world->PosY[Body(i)]));
  }
}

}  // namespace
