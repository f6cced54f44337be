#include "view/view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include "tests/support.h"

namespace {

constexpr Colour OutlineGrey = RGB(50, 50, 50);
constexpr Colour RingGrey = RGB(30, 30, 30);
constexpr Colour Marker = RGB(1, 2, 3);

// The world is large (the history alone is over a megabyte), so tests keep it on the heap.
std::unique_ptr<World> MakeWorld(int16_t zoom, int16_t offsetX, int16_t offsetY) {
  auto world = std::make_unique<World>();
  world->Zoom = zoom;
  world->OffsetX = offsetX;
  world->OffsetY = offsetY;
  return world;
}

TEST(WorldToScreen, OriginSitsAtTheSurfaceCentreWithoutOffset) {
  const Surface surface = MakeSurface(800, 600);
  const auto world = MakeWorld(1, 0, 0);
  const ScreenPoint origin = WorldToScreen(*world, surface, 0, 0);
  EXPECT_EQ(origin.X, 400.0F);
  EXPECT_EQ(origin.Y, 300.0F);
}

TEST(WorldToScreen, ZoomShrinksTheWorldTowardsTheCentre) {
  const Surface surface = MakeSurface(800, 600);
  const auto world = MakeWorld(100, 0, 0);
  const ScreenPoint topLeft = WorldToScreen(*world, surface, -10000, -10000);
  const ScreenPoint bottomRight = WorldToScreen(*world, surface, 10000, 10000);
  EXPECT_EQ(topLeft.X, 300.0F);
  EXPECT_EQ(topLeft.Y, 200.0F);
  EXPECT_EQ(bottomRight.X, 500.0F);
  EXPECT_EQ(bottomRight.Y, 400.0F);
}

TEST(WorldToScreen, LargerWorldYIsLowerOnTheSurface) {
  const Surface surface = MakeSurface(800, 600);
  const auto world = MakeWorld(1, 0, 0);
  EXPECT_EQ(WorldToScreen(*world, surface, 0, 50).Y, 350.0F);
  EXPECT_EQ(WorldToScreen(*world, surface, -20, 0).X, 380.0F);
}

TEST(WorldToScreen, OffsetShiftsTheOriginByOffsetOverZoom) {
  const Surface surface = MakeSurface(800, 600);
  const auto world = MakeWorld(2, 1000, -300);
  const ScreenPoint origin = WorldToScreen(*world, surface, 0, 0);
  EXPECT_EQ(origin.X, 900.0F);
  EXPECT_EQ(origin.Y, 150.0F);
}

TEST(WorldToScreen, TheNegatedOffsetIsAlwaysAtTheCentre) {
  for (const auto& [width, height] : {std::pair{800, 600}, std::pair{801, 601}, std::pair{1, 1}}) {
    const Surface surface = MakeSurface(width, height);
    for (int zoom = MinZoom; zoom <= MaxZoom; ++zoom) {
      for (const int16_t offset :
           {int16_t{0}, int16_t{1}, int16_t{-7}, int16_t{4321}, int16_t{10000}, int16_t{-10000}}) {
        const auto world =
            MakeWorld(static_cast<int16_t>(zoom), offset, static_cast<int16_t>(-offset / 3));
        const ScreenPoint centre = WorldToScreen(*world, surface, -world->OffsetX, -world->OffsetY);
        EXPECT_EQ(centre.X, static_cast<float>(width) / 2)
            << "zoom " << zoom << " offset " << offset;
        EXPECT_EQ(centre.Y, static_cast<float>(height) / 2)
            << "zoom " << zoom << " offset " << offset;
      }
    }
  }
}

TEST(WorldToScreen, WorksInDoubleTermByTermAndRoundsToSingleOnlyAtTheEnd) {
  // Chosen so that the double sum lies just below the midpoint between two singles. Dividing
  // (wx + OffsetX) by the zoom at once, or working in single throughout, both give one single
  // step more.
  const double wx = 0x1.2a0011ffffffdp+7;  // about 149.000137
  const Surface surface = MakeSurface(800, 800);
  const auto world = MakeWorld(3, 1, 1);
  const ScreenPoint point = WorldToScreen(*world, surface, wx, wx);
  EXPECT_EQ(point.X, 450.0F + 0x1p-15F);
  EXPECT_EQ(point.Y, 450.0F + 0x1p-15F);
}

TEST(WorldToScreen, ReadsTheSurfaceSizeAtEveryCall) {
  Surface surface = MakeSurface(800, 600);
  const auto world = MakeWorld(1, 0, 0);
  EXPECT_EQ(WorldToScreen(*world, surface, 0, 0).X, 400.0F);
  ResizeSurface(surface, 300, 100);
  const ScreenPoint origin = WorldToScreen(*world, surface, 0, 0);
  EXPECT_EQ(origin.X, 150.0F);
  EXPECT_EQ(origin.Y, 50.0F);
}

TEST(WorldToScreen, ZeroZoomGivesPointsThatAreNeverOnTheSurface) {
  // Zoom never reaches 0 while the program runs; if it did, the divisions give infinities (or NaN
  // for 0 / 0), which every drawing call clips away.
  const Surface surface = MakeSurface(800, 600);
  const auto shifted = MakeWorld(0, 1000, -1000);
  const ScreenPoint far = WorldToScreen(*shifted, surface, 5, -5);
  EXPECT_EQ(far.X, std::numeric_limits<float>::infinity());
  EXPECT_EQ(far.Y, -std::numeric_limits<float>::infinity());
  const auto centred = MakeWorld(0, 0, 0);
  const ScreenPoint undefined = WorldToScreen(*centred, surface, 5, -5);
  EXPECT_TRUE(std::isnan(undefined.X));
  EXPECT_TRUE(std::isnan(undefined.Y));
}

TEST(Overlay, ClearsTheSurfaceFirst) {
  Surface surface = MakeSurface(40, 30);
  PaintAll(surface, Marker);
  const auto world = MakeWorld(1, 0, 0);
  DrawOverlay(*world, surface);
  EXPECT_EQ(CountPixels(surface, Marker), 0);
}

TEST(Overlay, WorldOutlineRunsAlongTheRightRowsAndColumns) {
  // 300 x 240 at zoom 100: the world square maps to (50, 20)..(250, 220).
  Surface surface = MakeSurface(300, 240);
  const auto world = MakeWorld(100, 0, 0);
  DrawOverlay(*world, surface);
  for (int px = 50; px <= 250; ++px) {
    EXPECT_EQ(PixelAt(surface, px, 20), OutlineGrey) << "top edge at " << px;
    EXPECT_EQ(PixelAt(surface, px, 220), OutlineGrey) << "bottom edge at " << px;
  }
  for (int py = 20; py <= 220; ++py) {
    EXPECT_EQ(PixelAt(surface, 50, py), OutlineGrey) << "left edge at " << py;
    EXPECT_EQ(PixelAt(surface, 250, py), OutlineGrey) << "right edge at " << py;
  }
  // Only the outline: not filled, nothing beside it.
  EXPECT_EQ(CountPixels(surface, OutlineGrey), 2 * 201 + 2 * 199);
  EXPECT_EQ(PixelAt(surface, 100, 100), Black);
  EXPECT_EQ(PixelAt(surface, 49, 20), Black);
  EXPECT_EQ(PixelAt(surface, 50, 19), Black);
}

TEST(Overlay, RingsAreGreyAndTakeTheCurrentFillColour) {
  Surface surface = MakeSurface(300, 240);
  const auto world = MakeWorld(100, 0, 0);
  FillColor(surface, Marker);
  DrawOverlay(*world, surface);
  // Both rings centre on (150, 120); the small one is drawn last, over the big one.
  EXPECT_EQ(PixelAt(surface, 160, 120), RingGrey);  // origin ring, radius 10
  EXPECT_EQ(PixelAt(surface, 150, 110), RingGrey);
  EXPECT_EQ(PixelAt(surface, 158, 120), Marker);    // between the rings
  EXPECT_EQ(PixelAt(surface, 155, 120), RingGrey);  // centre ring, radius 5
  EXPECT_EQ(PixelAt(surface, 150, 125), RingGrey);
  EXPECT_EQ(PixelAt(surface, 150, 120), Marker);
  EXPECT_EQ(PixelAt(surface, 161, 120), Black);
}

TEST(Overlay, OnALargeSurfaceAtZoomOneTheOutlineIsOutOfSight) {
  Surface surface = MakeSurface(800, 600);
  const auto world = MakeWorld(1, 0, 0);
  DrawOverlay(*world, surface);
  EXPECT_EQ(CountPixels(surface, OutlineGrey), 0);
  EXPECT_EQ(PixelAt(surface, 410, 300), RingGrey);
  EXPECT_EQ(PixelAt(surface, 405, 300), RingGrey);
}

TEST(Overlay, OffsetMovesTheOriginRingAwayFromTheCentreRing) {
  // Zoom 2 and OffsetX 1000: the origin ring sits 500 surface units right of the centre ring.
  Surface surface = MakeSurface(1200, 600);
  const auto world = MakeWorld(2, 1000, 0);
  DrawOverlay(*world, surface);
  EXPECT_EQ(PixelAt(surface, 605, 300), RingGrey);
  EXPECT_EQ(PixelAt(surface, 595, 300), RingGrey);
  EXPECT_EQ(PixelAt(surface, 1110, 300), RingGrey);
  EXPECT_EQ(PixelAt(surface, 1090, 300), RingGrey);
  EXPECT_EQ(PixelAt(surface, 610, 300), Black);
  EXPECT_EQ(PixelAt(surface, 1095, 300), Black);  // inside the ring: the fill, black
}

TEST(Overlay, OutlineFollowsTheOffset) {
  Surface surface = MakeSurface(300, 240);
  const auto world = MakeWorld(100, -2000, 1000);  // shifts by (-20, 10)
  DrawOverlay(*world, surface);
  EXPECT_EQ(PixelAt(surface, 30, 30), OutlineGrey);
  EXPECT_EQ(PixelAt(surface, 230, 230), OutlineGrey);
  EXPECT_EQ(PixelAt(surface, 50, 20), Black);
  EXPECT_EQ(PixelAt(surface, 140, 130), RingGrey);  // origin ring at (130, 130), radius 10
}

TEST(Overlay, ZeroZoomStillClearsAndDrawsTheCentreRing) {
  Surface surface = MakeSurface(40, 30);
  PaintAll(surface, Marker);
  const auto world = MakeWorld(0, 0, 0);
  DrawOverlay(*world, surface);
  EXPECT_EQ(CountPixels(surface, Marker), 0);
  EXPECT_EQ(PixelAt(surface, 25, 15), RingGrey);
  EXPECT_EQ(CountPixels(surface, OutlineGrey), 0);
}

}  // namespace
