#pragma once

#include <cmath>
#include <cstdint>

// Rounds to the nearest integer, ties to the even neighbour, into a 16-bit Integer. Values beyond
// the 16-bit range saturate at the nearest bound and NaN gives 0, so no input is undefined.
inline int16_t RoundToInteger(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  // nearbyint follows the default rounding mode, which rounds ties to even.
  const double rounded = std::nearbyint(value);
  if (rounded <= INT16_MIN) {
    return INT16_MIN;
  }
  if (rounded >= INT16_MAX) {
    return INT16_MAX;
  }
  return static_cast<int16_t>(rounded);
}

// Toggling a flag: 0 becomes true, anything else becomes false.
inline int16_t Toggled(int16_t flag) {
  return flag == 0 ? int16_t{-1} : int16_t{0};
}
