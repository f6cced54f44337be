#pragma once

#include <cstddef>

// Memory for pixels, zeroed as the system hands it out. A large buffer comes in the system's large
// pages where it has them, so that a window-sized buffer is supplied a few hundred pages at a time
// as it is first drawn on, not tens of thousands: a resize to a huge window then costs
// milliseconds rather than the hundreds a page-by-page supply takes. Returns null when memory
// runs out; the same size must be given back to `FreePixelMemory`.
void* AllocateZeroedPixelMemory(size_t bytes);
void FreePixelMemory(void* memory, size_t bytes);
