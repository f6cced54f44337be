#include "world/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "world/rounding.h"

namespace {

template <typename Array>
bool AllZero(const Array& values) {
  for (const auto value : values) {
    if (value != 0) {
      return false;
    }
  }
  return true;
}

bool AllZero(const HistoryCells& cells) {
  for (const BodyIntegers& slot : cells) {
    if (!AllZero(slot)) {
      return false;
    }
  }
  return true;
}

TEST(StartUp, SetsZoomOneAndErasingOnAndLeavesTheRestZero) {
  auto world = std::make_unique<World>();
  StartUp(*world);
  EXPECT_EQ(world->Zoom, 1);
  EXPECT_EQ(world->EraseOld, -1);
  EXPECT_EQ(world->TickCounter, 0);
  EXPECT_EQ(world->RecordIndex, 0);
  EXPECT_EQ(world->OffsetX, 0);
  EXPECT_EQ(world->OffsetY, 0);
  EXPECT_EQ(world->Selected, 0);
  EXPECT_TRUE(AllZero(world->PosX));
  EXPECT_TRUE(AllZero(world->PosY));
  EXPECT_TRUE(AllZero(world->VelX));
  EXPECT_TRUE(AllZero(world->VelY));
  EXPECT_TRUE(AllZero(world->Mass));
  EXPECT_TRUE(AllZero(world->ColorR));
  EXPECT_TRUE(AllZero(world->ColorG));
  EXPECT_TRUE(AllZero(world->ColorB));
  EXPECT_TRUE(AllZero(world->HistX));
  EXPECT_TRUE(AllZero(world->HistY));
  EXPECT_TRUE(AllZero(world->HistBig));
}

TEST(StartUp, KeepsBodiesThatAreAlreadyThere) {
  auto world = std::make_unique<World>();
  world->PosX[5] = 123.5;
  world->Mass[80] = 2.0F;
  world->HistY[LastSlot][BodyCount - 1] = -7;
  StartUp(*world);
  EXPECT_EQ(world->PosX[5], 123.5);
  EXPECT_EQ(world->Mass[80], 2.0F);
  EXPECT_EQ(world->HistY[LastSlot][BodyCount - 1], -7);
}

TEST(Flags, ToggleFlipsBetweenTrueAndFalse) {
  EXPECT_EQ(Toggled(False), True);
  EXPECT_EQ(Toggled(True), False);
  EXPECT_EQ(Toggled(Toggled(True)), True);
  // Any non-zero value reads as true, so toggling it gives false.
  EXPECT_EQ(Toggled(1), False);
  EXPECT_EQ(Toggled(int16_t{-32768}), False);
}

TEST(Rounding, TiesGoToTheEvenNeighbourOnBothSides) {
  EXPECT_EQ(RoundToInteger(0.5), 0);
  EXPECT_EQ(RoundToInteger(1.5), 2);
  EXPECT_EQ(RoundToInteger(2.5), 2);
  EXPECT_EQ(RoundToInteger(3.5), 4);
  EXPECT_EQ(RoundToInteger(-0.5), 0);
  EXPECT_EQ(RoundToInteger(-1.5), -2);
  EXPECT_EQ(RoundToInteger(-2.5), -2);
  EXPECT_EQ(RoundToInteger(-3.5), -4);
}

TEST(Rounding, EverythingElseGoesToTheNearestInteger) {
  EXPECT_EQ(RoundToInteger(2.4999), 2);
  EXPECT_EQ(RoundToInteger(2.5001), 3);
  EXPECT_EQ(RoundToInteger(-2.5001), -3);
  EXPECT_EQ(RoundToInteger(-0.4), 0);
  EXPECT_EQ(RoundToInteger(9999.6), 10000);
  EXPECT_EQ(RoundToInteger(-10000.2), -10000);
}

TEST(Rounding, OutOfRangeValuesSaturateAtTheSixteenBitBounds) {
  EXPECT_EQ(RoundToInteger(32767.4), 32767);
  EXPECT_EQ(RoundToInteger(32767.5), 32767);
  EXPECT_EQ(RoundToInteger(40000.0), 32767);
  EXPECT_EQ(RoundToInteger(1e300), 32767);
  EXPECT_EQ(RoundToInteger(std::numeric_limits<double>::infinity()), 32767);
  EXPECT_EQ(RoundToInteger(-32768.5), -32768);
  EXPECT_EQ(RoundToInteger(-32769.0), -32768);
  EXPECT_EQ(RoundToInteger(-1e300), -32768);
  EXPECT_EQ(RoundToInteger(-std::numeric_limits<double>::infinity()), -32768);
}

TEST(Rounding, NaNGivesZero) {
  EXPECT_EQ(RoundToInteger(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundToInteger(-std::numeric_limits<double>::quiet_NaN()), 0);
}

}  // namespace
