// Memory settings for short batch runs that load a whole delivery at once.
#pragma once

#include <cstddef>

namespace velview {

// Reserves `reserveBytes` of heap up front and lets the kernel back it with huge pages; large
// buffers and the allocations of worker threads stay on that heap. Loading a delivery
// allocates tens of thousands of small records; taking their memory one 4 KiB page fault at a
// time costs more than parsing them on a virtual machine. Untouched reserve costs no memory.
// Call once, early, from the main thread before other threads start; a no-op where the C
// library or kernel offers none of this.
void TuneHeapForBatchWork(std::size_t reserveBytes = std::size_t{32} << 20);

}  // namespace velview
