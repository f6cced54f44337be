#include "view/pixel_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

#if defined(__linux__)
// From this size up a buffer is mapped on its own, so that it goes back to the system as soon as it
// is freed; below it, the C library's heap serves it as usual. It asks for ordinary pages: the
// picture is drawn on in scattered discs, and a huge page is zeroed whole (2 MB) the first time
// anything is drawn in it, which after a resize to a huge window held the timers up for a tenth of
// a second or more.
constexpr size_t OwnMappingBytes = size_t{2} << 20;
#endif

// Zeroed memory, or null when it runs out.
void* AllocateZeroed(size_t bytes) {
#if defined(__linux__)
  if (bytes >= OwnMappingBytes) {
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
      return nullptr;
    }
    // Only advice, for kernels that hand out huge pages unasked: where it is declined, the buffer
    // is still zeroed memory.
    madvise(memory, bytes, MADV_NOHUGEPAGE);
    return memory;
  }
#endif
  return std::calloc(bytes, 1);
}

void Free(void* memory, [[maybe_unused]] size_t bytes) {
#if defined(__linux__)
  if (bytes >= OwnMappingBytes) {
    munmap(memory, bytes);
    return;
  }
#endif
  std::free(memory);
}

}  // namespace

PixelBuffer::PixelBuffer(size_t count) {
  if (count == 0) {
    return;
  }
  void* memory =
      count <= SIZE_MAX / sizeof(Colour) ? AllocateZeroed(count * sizeof(Colour)) : nullptr;
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  Pixels = static_cast<Colour*>(memory);
  Size = count;
  Capacity = count;
}

PixelBuffer::PixelBuffer(const PixelBuffer& other) : PixelBuffer(other.Size) {
  std::copy(other.begin(), other.end(), Pixels);
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : Pixels(std::exchange(other.Pixels, nullptr)),
      Size(std::exchange(other.Size, 0)),
      Capacity(std::exchange(other.Capacity, 0)) {}

PixelBuffer& PixelBuffer::operator=(PixelBuffer other) noexcept {
  std::swap(Pixels, other.Pixels);
  std::swap(Size, other.Size);
  std::swap(Capacity, other.Capacity);
  return *this;
}

PixelBuffer::~PixelBuffer() {
  if (Pixels != nullptr) {
    Free(Pixels, Capacity * sizeof(Colour));
  }
}

void PixelBuffer::resize(size_t count) {
  Size = std::min(count, Capacity);
}

void PixelBuffer::assign(size_t count, Colour colour) {
  resize(count);
  std::fill(begin(), end(), colour);
}

bool operator==(const PixelBuffer& a, const PixelBuffer& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}
