// Arena blocks on POSIX systems: large ones mapped with mmap and marked for huge pages.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <new>

#include "converter/platform/Memory.h"

namespace tabulex::platform {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t size) {
  return (size + kHugePage - 1) & ~(kHugePage - 1);
}

// Maps `size` bytes (a multiple of kHugePage) at an address that is a multiple of kHugePage,
// which the kernel needs before it backs the range with huge pages.
void* MapAligned(std::size_t size) {
  void* mapped =
      mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  const std::size_t head = aligned - start;
  if (head != 0) munmap(mapped, head);
  const std::size_t tail = kHugePage - head;
  if (tail != 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  return reinterpret_cast<void*>(aligned);
}

class HugePageBlocks : public std::pmr::memory_resource {
 private:
  void* do_allocate(std::size_t size, std::size_t alignment) override {
    if (size < kHugePage || alignment > kHugePage) {
      return std::pmr::new_delete_resource()->allocate(size, alignment);
    }
    void* block = MapAligned(RoundUp(size));
    // Only advice: without huge pages the block works as well, page by page.
    madvise(block, RoundUp(size), MADV_HUGEPAGE);
    return block;
  }

  void do_deallocate(void* block, std::size_t size, std::size_t alignment) override {
    if (size < kHugePage || alignment > kHugePage) {
      std::pmr::new_delete_resource()->deallocate(block, size, alignment);
      return;
    }
    munmap(block, RoundUp(size));
  }

  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
};

}  // namespace

std::pmr::memory_resource& ArenaBlocks() {
  static HugePageBlocks blocks;
  return blocks;
}

}  // namespace tabulex::platform
