#include "view/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "tests/scene.h"
#include "tests/support.h"

namespace {

constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr Colour Red = RGB(255, 0, 0);
constexpr Colour Blue = RGB(0, 0, 255);
constexpr Colour Marker = RGB(1, 2, 3);

// The surface as text, one string per row: '.' background, 'o' outline (red), '#' fill (blue),
// '?' anything else.
std::vector<std::string> Picture(const Surface& surface) {
  std::vector<std::string> rows;
  for (int py = 0; py < surface.Height; ++py) {
    std::string row;
    for (int px = 0; px < surface.Width; ++px) {
      const Colour pixel = PixelAt(surface, px, py);
      row += pixel == surface.Background ? '.' : pixel == Red ? 'o' : pixel == Blue ? '#' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

// The disc by its plain definition, pixel by pixel: every pixel centre within radius of the
// centre, its rim being the disc pixels with a horizontal or vertical neighbour outside it.
bool InDisc(double x, double y, double radius, int px, int py) {
  const double dx = px - x;
  const double dy = py - y;
  return dx * dx + dy * dy <= radius * radius;
}

Colour ExpectedDiscPixel(const Surface& surface, double x, double y, double radius, int px,
                         int py) {
  if (!InDisc(x, y, radius, px, py)) {
    return surface.Background;
  }
  const bool rim = !InDisc(x, y, radius, px - 1, py) || !InDisc(x, y, radius, px + 1, py) ||
                   !InDisc(x, y, radius, px, py - 1) || !InDisc(x, y, radius, px, py + 1);
  return rim ? Red : Blue;
}

void ExpectDiscMatchesDefinition(int width, int height, float x, float y, float radius) {
  Surface surface = MakeSurface(width, height);
  FillColor(surface, Blue);
  Circle(surface, x, y, radius, Red);
  for (int py = 0; py < height; ++py) {
    for (int px = 0; px < width; ++px) {
      ASSERT_EQ(PixelAt(surface, px, py), ExpectedDiscPixel(surface, x, y, radius, px, py))
          << "pixel (" << px << ", " << py << ") of the disc at (" << x << ", " << y << ") radius "
          << radius;
    }
  }
}

TEST(Colours, PackRedGreenBlueIntoOneNumber) {
  EXPECT_EQ(RGB(255, 0, 127), 255U + 127U * 65536U);
  EXPECT_EQ(RGB(0, 1, 0), 256U);
  EXPECT_EQ(RGB(50, 50, 50), 50U + 50U * 256U + 50U * 65536U);
  EXPECT_EQ(White, 0xFFFFFFU);
  EXPECT_EQ(Black, 0U);
}

TEST(SmallDiscs, RadiusJustOverOneIsAPlusWithAFilledCentre) {
  Surface surface = MakeSurface(5, 5);
  FillColor(surface, Blue);
  Circle(surface, 2, 2, 1.1F, Red);
  const std::vector<std::string> expected = {
      ".....",  //
      "..o..",  //
      ".o#o.",  //
      "..o..",  //
      ".....",  //
  };
  EXPECT_EQ(Picture(surface), expected);
}

TEST(SmallDiscs, RadiusTwoHasARingAroundThreeFilledPixels) {
  Surface surface = MakeSurface(7, 7);
  FillColor(surface, Blue);
  Circle(surface, 3, 3, 2, Red);
  const std::vector<std::string> expected = {
      ".......",  //
      "...o...",  //
      "..o#o..",  //
      ".o###o.",  //
      "..o#o..",  //
      "...o...",  //
      ".......",  //
  };
  EXPECT_EQ(Picture(surface), expected);
}

TEST(SmallDiscs, RadiusZeroOnAPixelIsOneOutlinePixel) {
  Surface surface = MakeSurface(3, 3);
  FillColor(surface, Blue);
  Circle(surface, 1, 1, 0, Red);
  EXPECT_EQ(Picture(surface), (std::vector<std::string>{"...", ".o.", "..."}));
}

TEST(SmallDiscs, TinyDiscBetweenPixelCentresDrawsNothing) {
  Surface surface = MakeSurface(3, 3);
  Circle(surface, 1.5F, 1.5F, 0.5F, Red);
  EXPECT_EQ(CountPixels(surface, Black), 9);
}

TEST(SmallDiscs, HalfPixelCentreCoversTheFourNearestPixels) {
  Surface surface = MakeSurface(4, 4);
  FillColor(surface, Blue);
  Circle(surface, 1.5F, 1.5F, 1, Red);
  EXPECT_EQ(Picture(surface), (std::vector<std::string>{"....", ".oo.", ".oo.", "...."}));
}

TEST(SmallDiscs, NegativeOrNaNRadiusDrawsNothing) {
  for (const float radius : {-0.5F, -1.0F, -1e30F, -Inf, NaN}) {
    Surface surface = MakeSurface(5, 5);
    FillColor(surface, Blue);
    Circle(surface, 2, 2, radius, Red);
    EXPECT_EQ(CountPixels(surface, Black), 25) << "radius " << radius;
  }
}

TEST(LargeDiscs, RadiusSixIsARoundDiscInsideAClosedRing) {
  Surface surface = MakeSurface(17, 17);
  FillColor(surface, Blue);
  Circle(surface, 8, 8, 6, Red);

  // Across the middle row and column: background, one outline pixel, fill, one outline pixel.
  for (int d = -8; d <= 8; ++d) {
    const Colour expected = std::abs(d) > 6 ? Black : std::abs(d) == 6 ? Red : Blue;
    EXPECT_EQ(PixelAt(surface, 8 + d, 8), expected) << "row offset " << d;
    EXPECT_EQ(PixelAt(surface, 8, 8 + d), expected) << "column offset " << d;
  }
  // The ring is closed: no filled pixel touches the background.
  for (int py = 0; py < 17; ++py) {
    for (int px = 0; px < 17; ++px) {
      if (PixelAt(surface, px, py) != Blue) {
        continue;
      }
      for (const auto& [dx, dy] :
           {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
        EXPECT_NE(PixelAt(surface, px + dx, py + dy), Black)
            << "fill leaks at " << px << ", " << py;
      }
    }
  }
  // One pixel thick: every outline pixel touches the outside.
  for (int py = 0; py < 17; ++py) {
    for (int px = 0; px < 17; ++px) {
      if (PixelAt(surface, px, py) != Red) {
        continue;
      }
      const bool touchesOutside =
          PixelAt(surface, px - 1, py) == Black || PixelAt(surface, px + 1, py) == Black ||
          PixelAt(surface, px, py - 1) == Black || PixelAt(surface, px, py + 1) == Black;
      EXPECT_TRUE(touchesOutside) << "thick ring at " << px << ", " << py;
    }
  }
  // And pixel for pixel: the disc is exactly the pixels within the radius, nothing beyond it.
  ExpectDiscMatchesDefinition(17, 17, 8, 8, 6);
}

TEST(LargeDiscs, OffPixelCentresAndOddRadiiFollowTheDistanceRule) {
  ExpectDiscMatchesDefinition(24, 20, 10.3F, 7.6F, 4.4F);
  ExpectDiscMatchesDefinition(24, 20, 11.5F, 9.5F, 3.0F);
  ExpectDiscMatchesDefinition(24, 20, 12.25F, 9.75F, 8.7F);
  ExpectDiscMatchesDefinition(24, 20, 4.0F, 15.0F, 2.5F);
}

TEST(LargeDiscs, DrawingLeavesEverythingOutsideTheDiscAlone) {
  Surface surface = MakeSurface(12, 12);
  surface.Pixels.assign(surface.Pixels.size(), Marker);
  FillColor(surface, Blue);
  Circle(surface, 6, 6, 3, Red);
  for (int py = 0; py < 12; ++py) {
    for (int px = 0; px < 12; ++px) {
      if (!InDisc(6, 6, 3, px, py)) {
        EXPECT_EQ(PixelAt(surface, px, py), Marker) << px << ", " << py;
      }
    }
  }
}

TEST(PenAndFillColours, CircleWithoutColourOutlinesInThePenColour) {
  Surface surface = MakeSurface(5, 5);
  surface.PenColour = Red;
  FillColor(surface, Blue);
  Circle(surface, 2, 2, 1.1F);
  EXPECT_EQ(PixelAt(surface, 2, 1), Red);
  EXPECT_EQ(PixelAt(surface, 2, 2), Blue);
}

TEST(PenAndFillColours, PointWithoutColourIsInThePenColour) {
  Surface surface = MakeSurface(3, 3);
  surface.PenColour = Red;
  PSet(surface, 1, 1);
  EXPECT_EQ(PixelAt(surface, 1, 1), Red);
}

TEST(PenAndFillColours, FillColourAffectsLaterCirclesOnly) {
  Surface surface = MakeSurface(10, 5);
  FillColor(surface, Blue);
  Circle(surface, 2, 2, 1.1F, Red);
  FillColor(surface, Marker);
  Circle(surface, 7, 2, 1.1F, Red);
  EXPECT_EQ(PixelAt(surface, 2, 2), Blue);
  EXPECT_EQ(PixelAt(surface, 7, 2), Marker);
}

TEST(PenAndFillColours, BlackPenAndFillEraseADiscWithoutTrace) {
  Surface surface = MakeSurface(12, 12);
  FillColor(surface, Blue);
  Circle(surface, 6, 6, 4, Red);
  FillColor(surface, Black);
  Circle(surface, 6, 6, 4);
  EXPECT_EQ(CountPixels(surface, Black), 144);
}

TEST(Boxes, OutlineIsDrawnAndTheInsideIsUntouched) {
  Surface surface = MakeSurface(9, 7);
  surface.Pixels.assign(surface.Pixels.size(), Marker);
  Line(surface, 2, 1, 6, 4, Red);
  const std::vector<std::string> expected = {
      "?????????",  //
      "??ooooo??",  //
      "??o???o??",  //
      "??o???o??",  //
      "??ooooo??",  //
      "?????????",  //
      "?????????",  //
  };
  EXPECT_EQ(Picture(surface), expected);
}

TEST(Boxes, CornersMayBeGivenInAnyOrder) {
  Surface forwards = MakeSurface(9, 7);
  Surface backwards = MakeSurface(9, 7);
  Line(forwards, 2, 1, 6, 4, Red);
  Line(backwards, 6, 4, 2, 1, Red);
  EXPECT_EQ(Picture(forwards), Picture(backwards));
  Surface crossed = MakeSurface(9, 7);
  Line(crossed, 6, 1, 2, 4, Red);
  EXPECT_EQ(Picture(forwards), Picture(crossed));
}

TEST(Boxes, CornersRoundToTheNearestPixelWithTiesToEven) {
  Surface rounded = MakeSurface(9, 7);
  Line(rounded, 2.5F, 0.6F, 5.5F, 4.4F, Red);  // corners (2, 1) and (6, 4)
  Surface exact = MakeSurface(9, 7);
  Line(exact, 2, 1, 6, 4, Red);
  EXPECT_EQ(Picture(rounded), Picture(exact));
}

TEST(Boxes, FlatBoxesAreLinesAndPoints) {
  Surface surface = MakeSurface(6, 4);
  Line(surface, 1, 1, 4, 1, Red);
  Line(surface, 0, 3, 0, 3, Blue);
  EXPECT_EQ(Picture(surface), (std::vector<std::string>{"......", ".oooo.", "......", "#....."}));
}

TEST(Points, SetExactlyOnePixel) {
  Surface surface = MakeSurface(4, 3);
  PSet(surface, 2, 1, Red);
  EXPECT_EQ(Picture(surface), (std::vector<std::string>{"....", "..o.", "...."}));
}

TEST(Points, CoordinatesRoundToNearestWithTiesToEven) {
  Surface surface = MakeSurface(8, 8);
  PSet(surface, 2.5F, 1.4F, Red);   // (2, 1)
  PSet(surface, 3.5F, 2.6F, Blue);  // (4, 3)
  EXPECT_EQ(PixelAt(surface, 2, 1), Red);
  EXPECT_EQ(PixelAt(surface, 4, 3), Blue);
  EXPECT_EQ(CountPixels(surface, Black), 62);
}

TEST(Points, JustOutsideTheEdgesFallOffOrRoundOn) {
  Surface surface = MakeSurface(8, 8);
  PSet(surface, -0.5F, 3, Red);  // rounds to 0: on
  PSet(surface, 3, 7.5F, Red);   // rounds to 8: off
  PSet(surface, -0.6F, 5, Red);  // rounds to -1: off
  PSet(surface, 7.4F, 5, Red);   // rounds to 7: on
  EXPECT_EQ(PixelAt(surface, 0, 3), Red);
  EXPECT_EQ(PixelAt(surface, 7, 5), Red);
  EXPECT_EQ(CountPixels(surface, Red), 2);
}

TEST(Clipping, DiscsOverEachEdgeDrawTheirVisiblePart) {
  // Centres on, near and beyond each edge and corner. Where the ring runs off the surface the
  // edge pixels stay filled: the ring continues outside.
  for (const auto& [x, y] :
       {std::pair{0.0F, 5.0F}, std::pair{15.0F, 5.0F}, std::pair{7.0F, 0.0F},
        std::pair{7.0F, 11.0F}, std::pair{-2.0F, -2.0F}, std::pair{17.5F, 13.2F},
        std::pair{-4.5F, 6.0F}, std::pair{8.0F, 14.9F}}) {
    ExpectDiscMatchesDefinition(16, 12, x, y, 5);
  }
}

TEST(Clipping, BoxesOverTheEdgesKeepTheirVisibleSides) {
  Surface surface = MakeSurface(6, 5);
  Line(surface, -3, 1, 3, 9, Red);
  EXPECT_EQ(Picture(surface),
            (std::vector<std::string>{"......", "oooo..", "...o..", "...o..", "...o.."}));
}

TEST(Clipping, DiscsFarAwayOrHugeDrawOnlyWhatIsVisible) {
  const float ExtremeCentres[] = {1e30F, -1e30F, Inf, -Inf};
  for (const float far : ExtremeCentres) {
    Surface surface = MakeSurface(16, 12);
    FillColor(surface, Blue);
    Circle(surface, far, 6, 3, Red);
    Circle(surface, 8, far, 3, Red);
    Circle(surface, far, far, 3, Red);
    EXPECT_EQ(CountPixels(surface, Black), 16 * 12) << "centre " << far;
  }
  for (const float huge : {1e30F, 3e38F, Inf}) {
    Surface surface = MakeSurface(16, 12);
    FillColor(surface, Blue);
    Circle(surface, 8, 6, huge, Red);
    EXPECT_EQ(CountPixels(surface, Blue), 16 * 12) << "radius " << huge;
  }
  // An infinite disc around an infinite centre is undefined, so nothing is drawn.
  Surface surface = MakeSurface(16, 12);
  Circle(surface, Inf, 6, Inf, Red);
  Circle(surface, 8, -Inf, Inf, Red);
  EXPECT_EQ(CountPixels(surface, Black), 16 * 12);
}

TEST(Clipping, NaNAnywhereDrawsNothing) {
  Surface surface = MakeSurface(8, 8);
  FillColor(surface, Blue);
  Circle(surface, NaN, 4, 2, Red);
  Circle(surface, 4, NaN, 2, Red);
  Line(surface, NaN, 1, 5, 5, Red);
  Line(surface, 1, NaN, 5, 5, Red);
  Line(surface, 1, 1, NaN, 5, Red);
  Line(surface, 1, 1, 5, NaN, Red);
  PSet(surface, NaN, 3, Red);
  PSet(surface, 3, NaN, Red);
  EXPECT_EQ(CountPixels(surface, Black), 64);
}

TEST(Clipping, ExtremeBoxCornersDrawLikeCornersJustBeyondTheEdge) {
  // Each corner coordinate in turn is replaced by an extreme value; the picture must be the one
  // a coordinate just off the surface on the same side gives.
  constexpr float Base[4] = {2, 3, 12, 9};
  for (int which = 0; which < 4; ++which) {
    for (const float extreme : {1e30F, -1e30F, Inf, -Inf}) {
      const bool horizontal = which % 2 == 0;
      const float justBeyond = extreme > 0 ? (horizontal ? 20.0F : 15.0F) : -5.0F;
      float corners[4] = {Base[0], Base[1], Base[2], Base[3]};
      corners[which] = extreme;
      Surface drawn = MakeSurface(16, 12);
      Line(drawn, corners[0], corners[1], corners[2], corners[3], Red);
      corners[which] = justBeyond;
      Surface reference = MakeSurface(16, 12);
      Line(reference, corners[0], corners[1], corners[2], corners[3], Red);
      EXPECT_EQ(Picture(drawn), Picture(reference)) << "corner value " << which << " = " << extreme;
      EXPECT_GT(CountPixels(drawn, Red), 0);
    }
  }
}

TEST(Clipping, ExtremePointsFallOff) {
  Surface surface = MakeSurface(8, 8);
  for (const float extreme : {1e30F, -1e30F, Inf, -Inf}) {
    PSet(surface, extreme, 3, Red);
    PSet(surface, 3, extreme, Red);
    PSet(surface, extreme, extreme, Red);
  }
  EXPECT_EQ(CountPixels(surface, Black), 64);
}

TEST(Clearing, ClsPaintsEverythingInTheBackground) {
  Surface surface = MakeSurface(6, 4);
  FillColor(surface, Blue);
  Circle(surface, 3, 2, 2, Red);
  surface.Background = Marker;
  Cls(surface);
  EXPECT_EQ(CountPixels(surface, Marker), 24);
}

TEST(Resizing, GrowingKeepsThePictureAndShowsBackgroundInTheNewArea) {
  Surface surface = MakeSurface(5, 4);
  PSet(surface, 3, 2, Red);
  PSet(surface, 4, 3, Blue);
  surface.Background = Marker;
  ResizeSurface(surface, 8, 6);
  EXPECT_EQ(surface.Width, 8);
  EXPECT_EQ(surface.Height, 6);
  EXPECT_EQ(PixelAt(surface, 3, 2), Red);
  EXPECT_EQ(PixelAt(surface, 4, 3), Blue);
  EXPECT_EQ(PixelAt(surface, 0, 0), Black);  // old area, old background
  EXPECT_EQ(PixelAt(surface, 5, 2), Marker);
  EXPECT_EQ(PixelAt(surface, 1, 4), Marker);
  EXPECT_EQ(CountPixels(surface, Marker), 8 * 6 - 5 * 4);
}

TEST(Resizing, ShrinkingThenGrowingLosesWhatWasCutOff) {
  Surface surface = MakeSurface(6, 6);
  PSet(surface, 1, 1, Red);
  PSet(surface, 4, 1, Red);
  PSet(surface, 1, 4, Red);
  ResizeSurface(surface, 3, 3);
  EXPECT_EQ(Picture(surface), (std::vector<std::string>{"...", ".o.", "..."}));
  ResizeSurface(surface, 6, 6);
  EXPECT_EQ(PixelAt(surface, 1, 1), Red);
  EXPECT_EQ(CountPixels(surface, Red), 1);
}

TEST(Resizing, ChangingOnlyTheWidthKeepsRowsAligned) {
  Surface surface = MakeSurface(4, 4);
  Line(surface, 0, 0, 3, 3, Red);
  ResizeSurface(surface, 7, 4);
  EXPECT_EQ(Picture(surface),
            (std::vector<std::string>{"oooo...", "o..o...", "o..o...", "oooo..."}));
  ResizeSurface(surface, 2, 4);
  EXPECT_EQ(Picture(surface), (std::vector<std::string>{"oo", "o.", "o.", "oo"}));
}

// Clearing and resizing copy and fill only the tiles painted since the last clear, however
// scattered: more runs of tiles than a list holds, on a surface larger than any screen.
TEST(Resizing, ScatteredDrawingSurvivesResizesAndAClearLeavesNothing) {
  Surface surface = MakeSurface(2000, 1500);
  int drawn = 0;
  int drawnLeft = 0;  // left of x = 1800
  for (int k = 0; k < 2000; ++k) {
    const int x = (k * 7919) % 1999;
    const int y = (k * 104729) % 1499;
    if (PixelAt(surface, x, y) == Black) {
      PSet(surface, static_cast<float>(x), static_cast<float>(y), Red);
      ++drawn;
      drawnLeft += x < 1800 ? 1 : 0;
    }
  }
  ResizeSurface(surface, 2500, 1800);
  EXPECT_EQ(CountPixels(surface, Red), drawn);
  // Large surfaces reuse the buffers earlier resizes left, rows now of another length: nothing
  // those buffers held may show.
  ResizeSurface(surface, 1800, 1600);
  EXPECT_EQ(CountPixels(surface, Red), drawnLeft);
  EXPECT_EQ(CountPixels(surface, Black), 1800 * 1600 - drawnLeft);
  ResizeSurface(surface, 2500, 1800);
  EXPECT_EQ(CountPixels(surface, Red), drawnLeft);
  EXPECT_EQ(CountPixels(surface, Black), 2500 * 1800 - drawnLeft);
  ResizeSurface(surface, 1000, 700);
  const int kept = CountPixels(surface, Red);
  EXPECT_GT(kept, drawn / 5);
  ResizeSurface(surface, 2400, 1600);
  EXPECT_EQ(CountPixels(surface, Red), kept);
  Cls(surface);
  EXPECT_EQ(CountPixels(surface, Black), 2400 * 1600);
  // Drawn again after the clear, and resized: the new drawing is all that shows.
  PSet(surface, 2399, 1599, Blue);
  ResizeSurface(surface, 2401, 1601);
  EXPECT_EQ(PixelAt(surface, 2399, 1599), Blue);
  EXPECT_EQ(CountPixels(surface, Black), 2401 * 1601 - 1);
}

// A large surface made smaller and larger again within its buffer moves its rows in place, up
// or down the buffer: every pixel drawn must stay where it was, and nothing else may show.
TEST(Resizing, ALargeSurfaceMovesItsRowsWithinItsBuffer) {
  Surface surface = MakeSurface(2600, 1500);
  const Colour* buffer = surface.Pixels.data();
  struct Dot {
    int X, Y;
    Colour Paint;
  };
  std::vector<Dot> dots;
  const int sizes[][2] = {{2100, 1400}, {1500, 2000}, {2600, 1100}, {1800, 1250}, {2599, 1500}};
  for (const auto& size : sizes) {
    for (int k = 0; k < 400; ++k) {
      const Dot dot{(k * 7919 + size[0]) % surface.Width, (k * 104729) % surface.Height,
                    static_cast<Colour>(k + 1)};
      PSet(surface, static_cast<float>(dot.X), static_cast<float>(dot.Y), dot.Paint);
      dots.push_back(dot);
    }
    ResizeSurface(surface, size[0], size[1]);
    EXPECT_EQ(surface.Pixels.data(), buffer);
    std::erase_if(dots, [&](const Dot& dot) { return dot.X >= size[0] || dot.Y >= size[1]; });
    std::vector<Colour> expected(surface.Pixels.size(), Black);
    for (const Dot& dot : dots) {
      expected[static_cast<size_t>(dot.Y) * static_cast<size_t>(size[0]) +
               static_cast<size_t>(dot.X)] = dot.Paint;
    }
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), surface.Pixels.begin()))
        << size[0] << " x " << size[1];
  }
  // The dots moved are still known as painted, so a clear finds every one; and at a small size
  // the large buffer is given back.
  Cls(surface);
  EXPECT_EQ(CountPixels(surface, Black), 2599 * 1500);
  ResizeSurface(surface, 600, 500);
  EXPECT_LT(surface.Pixels.capacity(), size_t{2600} * 1500);
}

TEST(Resizing, NegativeSizesGiveAnEmptySurfaceAndHugeOnesAreCapped) {
  Surface surface = MakeSurface(-5, 10);
  EXPECT_EQ(surface.Width, 0);
  EXPECT_EQ(surface.Height, 10);
  EXPECT_TRUE(surface.Pixels.empty());
  ResizeSurface(surface, 100000, 1);
  EXPECT_EQ(surface.Width, 16384);
  EXPECT_EQ(surface.Height, 1);
  EXPECT_EQ(surface.Pixels.size(), 16384U);
  ResizeSurface(surface, 1, -1);
  EXPECT_EQ(surface.Width, 1);
  EXPECT_EQ(surface.Height, 0);
}

TEST(EmptySurfaces, EveryOperationOnAZeroSizedSurfaceIsHarmless) {
  Surface surface = MakeSurface(0, 0);
  Cls(surface);
  Circle(surface, 0, 0, 1e30F, Red);
  Line(surface, -Inf, -Inf, Inf, Inf, Red);
  PSet(surface, 0, 0, Red);
  EXPECT_TRUE(surface.Pixels.empty());
  EXPECT_EQ(PixelAt(surface, 0, 0), surface.Background);
  EXPECT_EQ(ScaleWidth(surface), 0.0F);
  EXPECT_EQ(ScaleHeight(surface), 0.0F);
}

TEST(EmptySurfaces, ASizeWithoutPixelsIsNeverWrittenTo) {
  Surface surface;
  surface.Width = 50;
  surface.Height = 50;
  Cls(surface);
  Circle(surface, 25, 25, 10, Red);
  Line(surface, 0, 0, 49, 49, Red);
  PSet(surface, 25, 25, Red);
  EXPECT_TRUE(surface.Pixels.empty());
  EXPECT_EQ(PixelAt(surface, 25, 25), surface.Background);
  // Resizing repairs it.
  ResizeSurface(surface, 50, 50);
  EXPECT_EQ(surface.Pixels.size(), 2500U);
}

}  // namespace

// The changed region: whatever a drawing call paints must be inside the rectangles the next
// present uploads, or the window would show a stale picture there.

bool Covered(const ChangedRects& rects, int px, int py) {
  for (int i = 0; i < rects.Count; ++i) {
    const UnitRect& r = rects.Rects[static_cast<size_t>(i)];
    if (px >= r.X && px < r.X + r.Width && py >= r.Y && py < r.Y + r.Height) {
      return true;
    }
  }
  return false;
}

void ExpectRectsInside(const ChangedRects& rects, const Surface& surface) {
  for (int i = 0; i < rects.Count; ++i) {
    const UnitRect& r = rects.Rects[static_cast<size_t>(i)];
    EXPECT_TRUE(r.X >= 0 && r.Y >= 0 && r.Width > 0 && r.Height > 0 &&
                r.X + r.Width <= surface.Width && r.Y + r.Height <= surface.Height)
        << r.X << "," << r.Y << " " << r.Width << "x" << r.Height;
  }
}

TEST(ChangedRegion, EveryPaintedPixelIsInsideTheUploadedRectangles) {
  // A size that is no multiple of the tile side, so the last row and column of tiles are clipped.
  Surface surface = MakeSurface(203, 149);
  ChangedRects rects;
  TakeChangedRects(surface.Changed, rects);
  SceneRandom random;
  const auto next = [&random](float low, float high) {
    return low + (high - low) * random.NextFloat();
  };
  const float specials[] = {NaN, Inf, -Inf, 1e30F, -1e30F};
  for (int call = 0; call < 3000; ++call) {
    const PixelBuffer before = surface.Pixels;
    float x = next(-40, 240);
    float y = next(-40, 190);
    if (call % 97 == 0) {
      x = specials[(call / 97) % 5];
    }
    FillColor(surface, RGB(call % 256, 7, 9));
    switch (call % 3) {
      case 0:
        Circle(surface, x, y, next(0, call % 50 == 0 ? 400 : 8), Red);
        break;
      case 1:
        Line(surface, x, y, next(-40, 240), next(-40, 190), Blue);
        break;
      default:
        PSet(surface, x, y, RGB(call % 256, 1, 1));
        break;
    }
    TakeChangedRects(surface.Changed, rects);
    ExpectRectsInside(rects, surface);
    for (int py = 0; py < surface.Height; ++py) {
      for (int px = 0; px < surface.Width; ++px) {
        const size_t at = static_cast<size_t>(py) * 203U + static_cast<size_t>(px);
        if (surface.Pixels[at] != before[at]) {
          ASSERT_TRUE(Covered(rects, px, py)) << "call " << call << " pixel " << px << "," << py;
        }
      }
    }
  }
  // Nothing drawn since the last present: nothing to upload.
  TakeChangedRects(surface.Changed, rects);
  EXPECT_EQ(rects.Count, 0);
}

TEST(ChangedRegion, ClearingResizingAndCrowdedMarksCoverTheWholeArea) {
  Surface surface = MakeSurface(1000, 700);
  ChangedRects rects;
  const auto expectAllCovered = [&](int step) {
    ExpectRectsInside(rects, surface);
    for (int py = 0; py < surface.Height; py += step) {
      for (int px = 0; px < surface.Width; px += step) {
        ASSERT_TRUE(Covered(rects, px, py)) << px << "," << py;
      }
    }
  };
  TakeChangedRects(surface.Changed, rects);  // a new surface has never been shown
  expectAllCovered(1);
  EXPECT_EQ(rects.Count, 1);  // whole rows of tiles merge into one rectangle

  Cls(surface);
  TakeChangedRects(surface.Changed, rects);
  expectAllCovered(1);

  ResizeSurface(surface, 1100, 650);
  TakeChangedRects(surface.Changed, rects);
  expectAllCovered(1);

  // More separate changes than the list holds: every one of them is still uploaded.
  ResizeSurface(surface, 2000, 1200);
  TakeChangedRects(surface.Changed, rects);
  for (int py = 0; py < surface.Height; py += 2 * ChangedTileSide) {
    for (int px = 0; px < surface.Width; px += 2 * ChangedTileSide) {
      PSet(surface, static_cast<float>(px), static_cast<float>(py), Red);
    }
  }
  TakeChangedRects(surface.Changed, rects);
  EXPECT_EQ(rects.Count, MaxChangedRects);
  expectAllCovered(2 * ChangedTileSide);
}
