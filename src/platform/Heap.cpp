#include "platform/Heap.h"

#if defined(__linux__) && defined(__GLIBC__)
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace b2d {

void prepareHeap()
{
#if defined(__linux__) && defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kMiB = std::size_t(1) << 20;
    constexpr std::size_t kReserve = 128 * kMiB;   // grown at once when the heap first grows
    constexpr std::uintptr_t kLargePage = 2 * kMiB;
    // Blocks up to 32 MiB (the document's bytes among them) come from the heap rather than from
    // a mapping of their own, and freed memory stays for the next generation: giving it back
    // would lose the large pages.
    mallopt(M_MMAP_THRESHOLD, int(32 * kMiB));
    mallopt(M_TRIM_THRESHOLD, int(256 * kMiB));
    mallopt(M_TOP_PAD, int(kReserve));

    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void *probe = std::malloc(kMiB);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const auto at = reinterpret_cast<std::uintptr_t>(probe);
    // Only memory the allocator has just taken from the program break is advised: an allocator
    // of a memory checker leaves the break alone, and then so does this.
    if (probe && after > before && after - before >= kReserve && at < after) {
        const std::uintptr_t start = (before + kLargePage - 1) & ~(kLargePage - 1);
        if (start < after)
            madvise(reinterpret_cast<void *>(start), after - start, MADV_HUGEPAGE);
    }
    std::free(probe);
#endif
}

}  // namespace b2d
