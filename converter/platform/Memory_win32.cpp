// Arena blocks on Windows: from the heap.
#include "converter/platform/Memory.h"

namespace tabulex::platform {

std::pmr::memory_resource& ArenaBlocks() {
  return *std::pmr::new_delete_resource();
}

}  // namespace tabulex::platform
