#pragma once

#include <cstddef>
#include <cstdint>

// Colours are packed 24-bit values r + 256 g + 65536 b. In memory on a little-endian machine the
// bytes of a pixel read R, G, B, 0.
using Colour = uint32_t;

// The surface's pixel memory: zeroed (black) as the system hands it out, and left as it comes, so
// a buffer for a huge window is never swept through when it is made and the system supplies its
// pages as they are first drawn on. Its size changes only within its capacity.
class PixelBuffer {
 public:
  PixelBuffer() = default;
  explicit PixelBuffer(size_t count);  // all black; throws std::bad_alloc when memory runs out
  PixelBuffer(const PixelBuffer& other);
  PixelBuffer(PixelBuffer&& other) noexcept;
  PixelBuffer& operator=(PixelBuffer other) noexcept;
  ~PixelBuffer();

  Colour* data() { return Pixels; }
  const Colour* data() const { return Pixels; }
  size_t size() const { return Size; }
  bool empty() const { return Size == 0; }
  size_t capacity() const { return Capacity; }
  Colour* begin() { return Pixels; }
  Colour* end() { return Pixels + Size; }
  const Colour* begin() const { return Pixels; }
  const Colour* end() const { return Pixels + Size; }
  Colour& operator[](size_t at) { return Pixels[at]; }
  const Colour& operator[](size_t at) const { return Pixels[at]; }

  // Within its capacity, never beyond: the pixels taken in keep what they hold.
  void resize(size_t count);
  // `count` pixels of one colour, within its capacity.
  void assign(size_t count, Colour colour);

  friend bool operator==(const PixelBuffer& a, const PixelBuffer& b);

 private:
  Colour* Pixels = nullptr;
  size_t Size = 0;
  size_t Capacity = 0;
};
