// Hints to the operating system about large blocks of memory.
#pragma once

#include <cstddef>

namespace platform {

// A block that is about to be filled from end to end (a downloaded package): on Linux it asks
// for transparent huge pages, which cuts the page faults of filling it several hundredfold
// (they dominate the time of a large download on virtual machines). No effect elsewhere or
// for small blocks.
void AdviseLargeBlock(void* block, size_t size);

}  // namespace platform
