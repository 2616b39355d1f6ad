// Where a conversion's arena takes its blocks from.
#pragma once

#include <memory_resource>

namespace tabulex::platform {

// Blocks for a conversion's arena. Blocks of 2 MiB and more are mapped on their own and, where
// the system has transparent huge pages, marked for them: filling such a block then costs one
// page fault per 2 MiB instead of one per 4 KiB. Smaller blocks come from the heap.
std::pmr::memory_resource& ArenaBlocks();

}  // namespace tabulex::platform
