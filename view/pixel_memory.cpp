#include "view/pixel_memory.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

#if defined(__linux__)
// From this size up a buffer is mapped on its own and offered the kernel's transparent huge pages
// (2 MB on x86-64 and arm64); below it, the C library's heap serves it as usual.
constexpr size_t HugePageBytes = size_t{2} << 20;
#endif

}  // namespace

void* AllocateZeroedPixelMemory(size_t bytes) {
#if defined(__linux__)
  if (bytes >= HugePageBytes) {
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
      return nullptr;
    }
    // Only advice: where the kernel declines, the buffer is still zeroed memory.
    madvise(memory, bytes, MADV_HUGEPAGE);
    return memory;
  }
#endif
  return std::calloc(bytes, 1);
}

void FreePixelMemory(void* memory, [[maybe_unused]] size_t bytes) {
#if defined(__linux__)
  if (bytes >= HugePageBytes) {
    munmap(memory, bytes);
    return;
  }
#endif
  std::free(memory);
}
