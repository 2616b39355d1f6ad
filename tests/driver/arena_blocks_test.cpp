// The blocks a conversion's arena takes: large mapped ones and small ones from the heap.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory_resource>

#include "converter/platform/Memory.h"

namespace tabulex {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

TEST(ArenaBlocks, EveryBlockIsWritableToItsLastByte) {
  std::pmr::memory_resource& blocks = platform::ArenaBlocks();
  for (std::size_t size : {std::size_t{100}, 2 * kMiB - 1, 2 * kMiB, 5 * kMiB + 1}) {
    void* block = blocks.allocate(size, alignof(std::max_align_t));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0x5A, size);  // a block shorter than asked for faults here
    blocks.deallocate(block, size, alignof(std::max_align_t));
  }
}

#ifndef _WIN32
TEST(ArenaBlocks, LargeBlocksStartOnAHugePageBoundary) {
  std::pmr::memory_resource& blocks = platform::ArenaBlocks();
  void* block = blocks.allocate(3 * kMiB, alignof(std::max_align_t));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % (2 * kMiB), 0u);
  blocks.deallocate(block, 3 * kMiB, alignof(std::max_align_t));
}
#endif

}  // namespace
}  // namespace tabulex
