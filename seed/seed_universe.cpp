#include "seed/seed_universe.h"

#include <cmath>
#include <cstddef>

#include "seed/sine_cosine.h"
#include "view/view.h"
#include "world/rounding.h"

namespace {

// Degrees to radians, taken as written: one unit in the last place above the double nearest pi/180.
constexpr double DegreesToRadians = 0.0174532925199433;
constexpr float RingRadius = 500.0F;  // world units, the outer edge of the seeded ring

// The world point under the pointer along one axis, in single precision: the pointer's distance
// from the surface centre, less the offset, scaled by the zoom. The offset goes in before the
// zoom, so the point is the one under the pointer only at Zoom 1 or with a zero offset. A position
// that is not a number (or one so far off that the result overflows) is taken as the surface
// centre, since a non-finite body position would poison every body it attracts.
float ClickToWorld(float click, float scale, int16_t offset, int16_t zoom) {
  const float centre = scale / 2.0F;
  const auto toWorld = [&](float pointer) {
    return (pointer - centre - static_cast<float>(offset)) * static_cast<float>(zoom);
  };
  const float world = toWorld(click);
  return std::isfinite(world) ? world : toWorld(centre);
}

// A colour component: 255 times a fraction, in single precision, rounded ties to even.
int16_t ColourOf(float fraction) {
  return RoundToInteger(255.0F * fraction);
}

}  // namespace

double Radians(float degrees) {
  return static_cast<double>(degrees) * DegreesToRadians;
}

void SeedUniverse(World& world, Surface& surface, Timers& timers, RandomSource& random, int button,
                  int shift, float x, float y) {
  // Any button seeds, with or without shift.
  (void)button;
  (void)shift;

  // A new sequence for every release, and back to simulation whatever the mode was.
  Randomize(random);
  timers.t.Enabled = true;
  timers.h.Enabled = false;

  const float width = ScaleWidth(surface);
  const float height = ScaleHeight(surface);
  const double cx = ClickToWorld(x, width, world.OffsetX, world.Zoom);
  const double cy = ClickToWorld(y, height, world.OffsetY, world.Zoom);
  const double zoom = world.Zoom;

  // A ring around the click, or a surface-sized area around the world origin.
  const int placement = static_cast<int>(std::floor(Rnd(random) * 2.0F));
  // At rest, random drift, an outward burst or a swirl.
  const int pattern = static_cast<int>(std::floor(Rnd(random) * 4.0F));

  for (size_t i = 0; i < BodyCount; ++i) {
    // Mass, angle and radius are singles, and their arithmetic is single too. A product of two
    // uniform draws leans towards 0: most bodies are light and far out.
    float a = Rnd(random);
    float b = Rnd(random);
    const float mass = b * a * 5.0F + 0.1F;
    world.Mass[i] = mass;
    const float angle = Rnd(random) * FullTurn;  // degrees
    a = Rnd(random);
    b = Rnd(random);
    const float radius = RingRadius - b * a * RingRadius;

    // Positions and velocities are worked out in double and rounded only when stored.
    const SineAndCosine direction = SineCosine(Radians(angle));
    if (placement == 0) {
      world.PosX[i] = static_cast<double>(radius) * direction.Sine + cx;
      world.PosY[i] = static_cast<double>(radius) * direction.Cosine + cy;
    } else {
      world.PosX[i] = (static_cast<double>(Rnd(random)) * width - width / 2.0) * zoom;
      world.PosY[i] = (static_cast<double>(Rnd(random)) * height - height / 2.0) * zoom;
    }

    // Each axis takes its own draw, x first.
    const double massSquared = static_cast<double>(mass) * static_cast<double>(mass);
    if (pattern == 1) {
      world.VelX[i] = static_cast<float>(static_cast<double>(Rnd(random)) * 2.0 - 1.0);
      world.VelY[i] = static_cast<float>(static_cast<double>(Rnd(random)) * 2.0 - 1.0);
    } else if (pattern == 2) {
      // Outwards along the ring's radius; lighter bodies faster.
      world.VelX[i] = static_cast<float>(direction.Sine * static_cast<double>(Rnd(random)) * 2.0 /
                                         (massSquared + 0.4));
      world.VelY[i] = static_cast<float>(direction.Cosine * static_cast<double>(Rnd(random)) * 2.0 /
                                         (massSquared + 0.4));
    } else if (pattern == 3) {
      // Across the radius, faster further out. The quarter turn is added in single precision.
      const SineAndCosine turned = SineCosine(Radians(angle + QuarterTurn));
      const double qx =
          turned.Sine * static_cast<double>(Rnd(random)) * 2.0 / static_cast<double>(mass);
      world.VelX[i] = static_cast<float>(qx * static_cast<double>(radius) / RingRadius);
      const double qy =
          turned.Cosine * static_cast<double>(Rnd(random)) * 2.0 / static_cast<double>(mass);
      world.VelY[i] = static_cast<float>(qy * static_cast<double>(radius) / RingRadius);
    } else {
      world.VelX[i] = 0.0F;
      world.VelY[i] = 0.0F;
    }

    // Red and green sweep round the ring in opposite directions; blue grows outwards.
    const float turn = angle / FullTurn;
    world.ColorR[i] = ColourOf(turn);
    world.ColorG[i] = RoundToInteger(255.0F - 255.0F * turn);
    world.ColorB[i] = ColourOf(radius / RingRadius);
  }

  DrawOverlay(world, surface);
}
