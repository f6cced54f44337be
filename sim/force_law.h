#pragma once

// The force law's constants: a softened power of the distance, scaled and coupled into the
// velocity. Shared by the body-by-body statement of the law and the tick's fast path; named
// within force_law, apart from the host's scale of the window.
namespace force_law {
inline constexpr double Softening = 0.1;  // world units, keeps coincident bodies finite
inline constexpr double Scale = 5;        // world units at which the power term is about 1
inline constexpr double Exponent = 2.3;
inline constexpr double Coupling = 0.01;
}  // namespace force_law
