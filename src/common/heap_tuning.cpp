#include "common/heap_tuning.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace velview {
namespace {
// Kept reachable, so neither the compiler nor a leak checker drops the block.
void* volatile heapFiller = nullptr;
}  // namespace

void TuneHeapForBatchWork(std::size_t reserveBytes) {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE) && !defined(__SANITIZE_ADDRESS__)
    const int pad = static_cast<int>(reserveBytes);
    // Grow the heap in one large step and never give it back during the run; buffers up to
    // the reserve (a whole PHOTO.XML, its decoded text) come from it rather than from
    // separate mappings.
    if (mallopt(M_TOP_PAD, pad) == 0) return;
    mallopt(M_TRIM_THRESHOLD, 2 * pad);
    mallopt(M_MMAP_THRESHOLD, pad);
    // Worker threads share that heap instead of each starting its own in small pages.
    mallopt(M_ARENA_MAX, 1);
    // A block larger than what the heap holds so far makes it grow now, by the reserve.
    void* probe = std::malloc(std::size_t{1} << 20);
    if (probe == nullptr) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(probe);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    std::free(probe);
    // Only the part of the heap that is still untouched, in whole huge pages.
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const std::uintptr_t from = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t to = end & ~(kHuge - 1);
    if (end == static_cast<std::uintptr_t>(-1) || to <= from + kHuge) return;
    // Advice only: where the kernel has transparent huge pages off, nothing changes.
    if (madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) != 0) return;
    // The heap below the first huge page stays in small pages; one block that is never used
    // or freed covers it, so that the large buffers of the run come from the huge pages. Its
    // pages are never touched and cost no memory.
    const std::uintptr_t gap = from - begin;
    if (gap > 4096) {
        heapFiller = std::malloc(gap - 64);
    }
#else
    (void)reserveBytes;
#endif
}

}  // namespace velview
