#include "platform/Memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

void AdviseLargeBlock(void* block, size_t size) {
    constexpr size_t kHugePage = 2 * 1024 * 1024;
    if (block == nullptr || size < 2 * kHugePage)
        return;
    // madvise works on whole pages: the page-aligned inside of the block.
    constexpr uintptr_t kPage = 4096;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(block) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + size) & ~(kPage - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace platform
