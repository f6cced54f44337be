#include "sim/attract_bodies.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "sim/force_law.h"
#include "sim/force_power.h"
#include "world/wide_vectors.h"

// The work goes puller by puller: row j holds body j's pull on every body. All positions are known
// before the first pull, so a row's differences, square roots, divisions and products are plain
// loops the compiler turns into vector code, its powers included. Only the sum into each single
// velocity is a chain, and with the rows taken in ascending j every body still adds its pulls in
// ascending order, each rounded to single before the next.
//
// Where the processor has wider vector instructions all the rows are built for them too, with the
// same bits (world/wide_vectors.h): the steps below are inlined into each build.

namespace {

constexpr size_t Bodies = BodyCount;

// Body j's difference to every body and the base of the power from their plain distance. Bodies
// before j are pulled before j moves, so they feel it where it was; bodies after j feel it where it
// is now. Body j's own entry (zero apart) is never used.
[[gnu::always_inline]] inline void RowBases(size_t j, const BodyDoubles& oldX,
                                            const BodyDoubles& oldY, const BodyDoubles& x,
                                            const BodyDoubles& y, BodyDoubles& dx, BodyDoubles& dy,
                                            BodyDoubles& base) {
  for (size_t i = 0; i < j; ++i) {
    dx[i] = oldX[j] - x[i];
    dy[i] = oldY[j] - y[i];
  }
  for (size_t i = j; i < Bodies; ++i) {
    dx[i] = x[j] - x[i];
    dy[i] = y[j] - y[i];
  }
  for (size_t i = 0; i < Bodies; ++i) {
    const double d = std::sqrt(dx[i] * dx[i] + dy[i] * dy[i]);
    base[i] = force_law::Scale / (d + force_law::Softening);
  }
}

// Body j's pull on every body, each a product taken left to right with the mass ratio rounded to
// single, added into the single velocity. Body j's own pull is left out altogether: even adding +0
// would turn a velocity of -0 into +0.
[[gnu::always_inline]] inline void AddRowPulls(size_t j, const BodyFloats& ratio, BodyDoubles& dx,
                                               BodyDoubles& dy, const BodyDoubles& factor,
                                               BodyFloats& velX, BodyFloats& velY) {
  for (size_t i = 0; i < Bodies; ++i) {
    dx[i] = dx[i] * factor[i] * force_law::Coupling * static_cast<double>(ratio[i]);
    dy[i] = dy[i] * factor[i] * force_law::Coupling * static_cast<double>(ratio[i]);
  }
  for (size_t i = 0; i < j; ++i) {
    velX[i] = static_cast<float>(static_cast<double>(velX[i]) + dx[i]);
    velY[i] = static_cast<float>(static_cast<double>(velY[i]) + dy[i]);
  }
  for (size_t i = j + 1; i < Bodies; ++i) {
    velX[i] = static_cast<float>(static_cast<double>(velX[i]) + dx[i]);
    velY[i] = static_cast<float>(static_cast<double>(velY[i]) + dy[i]);
  }
}

// Every body's mass ratio to every other, rounded to single: row j holds body j's mass term over
// each pulled body's. Masses change only when a universe is seeded, so the ratios are worked out
// again only when the masses differ from those they were last worked out for.
using Ratios = std::array<BodyFloats, BodyCount>;

struct MassRatios {
  BodyFloats Masses{};
  Ratios Rows{};
  bool Made = false;
};

const Ratios& RatiosOf(const BodyFloats& masses) {
  static MassRatios ratios;
  if (ratios.Made && masses == ratios.Masses) {
    return ratios.Rows;
  }
  // The pulled body's own mass term, as AttractBody divides by it.
  BodyDoubles massTerm{};
  for (size_t i = 0; i < Bodies; ++i) {
    massTerm[i] = static_cast<double>(masses[i]) + 1;
  }
  for (size_t j = 0; j < Bodies; ++j) {
    for (size_t i = 0; i < Bodies; ++i) {
      ratios.Rows[j][i] = static_cast<float>(massTerm[j] / massTerm[i]);
    }
  }
  ratios.Masses = masses;
  ratios.Made = true;
  return ratios.Rows;
}

// Every puller's row in turn.
[[gnu::always_inline]] inline void AttractRows(World& world, const BodyDoubles& oldX,
                                               const BodyDoubles& oldY, const Ratios& ratios) {
  BodyDoubles dx{};
  BodyDoubles dy{};
  BodyDoubles factor{};
  for (size_t j = 0; j < Bodies; ++j) {
    RowBases(j, oldX, oldY, world.PosX, world.PosY, dx, dy, factor);

    // The powers, body j's own entry (a base of 50) included and left unused.
    force_power::PowersOfRow(factor, factor);

    AddRowPulls(j, ratios[j], dx, dy, factor, world.VelX, world.VelY);
  }
}

WIDE_VECTORS void AttractAllRows(World& world, const BodyDoubles& oldX, const BodyDoubles& oldY,
                                 const Ratios& ratios) {
  AttractRows(world, oldX, oldY, ratios);
}

#if defined(PICKS_WIDEST_BUILD)
WIDE_AVX512 void AttractAllRowsAvx512(World& world, const BodyDoubles& oldX,
                                      const BodyDoubles& oldY, const Ratios& ratios) {
  AttractRows(world, oldX, oldY, ratios);
}

WIDE_AVX2 void AttractAllRowsAvx2(World& world, const BodyDoubles& oldX, const BodyDoubles& oldY,
                                  const Ratios& ratios) {
  AttractRows(world, oldX, oldY, ratios);
}
#endif

}  // namespace

void AttractBodies(World& world, const BodyDoubles& oldX, const BodyDoubles& oldY) {
#if defined(PICKS_WIDEST_BUILD)
  static const auto build =
      WidestBuild(&AttractAllRows, &AttractAllRowsAvx2, &AttractAllRowsAvx512);
  build(world, oldX, oldY, RatiosOf(world.Mass));
#else
  AttractAllRows(world, oldX, oldY, RatiosOf(world.Mass));
#endif
}
