// The conversion's memory: objects made in it are given back whole and exactly once, and a
// conversion takes its storage in a few large blocks.
#include "converter/model/Arena.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <memory_resource>
#include <string>

#include "converter/model/TextSheet.h"
#include "tests/support/RecordingContext.h"

namespace tabulex {
namespace {

// Hands out heap blocks and checks every one comes back once, with the size it was made with.
class CountingMemory : public std::pmr::memory_resource {
 public:
  ~CountingMemory() override {
    EXPECT_TRUE(live.empty()) << live.size() << " blocks not given back";
  }

  std::map<void*, std::size_t> live;
  std::size_t allocations = 0;
  std::size_t largest = 0;

 private:
  void* do_allocate(std::size_t size, std::size_t alignment) override {
    void* block = std::pmr::new_delete_resource()->allocate(size, alignment);
    live[block] = size;
    ++allocations;
    largest = std::max(largest, size);
    return block;
  }
  void do_deallocate(void* block, std::size_t size, std::size_t alignment) override {
    auto it = live.find(block);
    ASSERT_NE(it, live.end()) << "a block given back twice, or never made here";
    EXPECT_EQ(it->second, size) << "a block given back with another size";
    live.erase(it);
    std::pmr::new_delete_resource()->deallocate(block, size, alignment);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
};

struct Base {
  virtual ~Base() = default;
  int tag = 0;
};
struct Derived : Base {
  explicit Derived(int* destroyed) : destroyed_(destroyed) {}
  ~Derived() override { ++*destroyed_; }
  int* destroyed_;
  char payload[200] = {};
};

TEST(Arena, ObjectHeldByItsBaseIsDestroyedAndGivenBackWhole) {
  CountingMemory memory;
  int destroyed = 0;
  {
    ArenaPtr<Base> object = MakeIn<Derived>(memory, &destroyed);
    ASSERT_EQ(memory.live.size(), 1u);
    EXPECT_EQ(memory.live.begin()->second, sizeof(Derived));
  }
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(memory.live.empty());
}

// Rows of a number, a text longer than a short string holds, a formula and an empty field.
std::string Rows(int count) {
  std::string text;
  for (int row = 1; row <= count; ++row) {
    text += std::to_string(row) + "\tThe quick brown fox, row " + std::to_string(row) + "\t=A" +
            std::to_string(row) + "*2\t\r\n";
  }
  return text;
}

TEST(Arena, RecordsMovedToTheTargetAreFreedOnceWhicheverSheetGoesFirst) {
  CountingMemory memory;
  testing::QuietContext context(ConversionContext::EachObjectIn{memory});
  const std::string text = Rows(50);
  auto source = std::make_unique<TextSheet>(context, text.data(), text.size());
  source->TranslateToIntermediate();
  auto target = std::make_unique<TextSheet>(context, *source);
  target->TranslateFromIntermediate();
  // The source goes first: the records it made now belong to the target's cells.
  source.reset();
  EXPECT_EQ(target->FileText().substr(0, 36), "1\tThe quick brown fox, row 1\t=A1*2\t\t");
  target.reset();
  EXPECT_TRUE(memory.live.empty());
}

TEST(Arena, ConversionTakesItsStorageInAFewLargeBlocks) {
  CountingMemory upstream;
  std::pmr::monotonic_buffer_resource arena(&upstream);
  {
    testing::QuietContext context(ConversionContext::EachObjectIn{arena});
    const std::string text = Rows(20000);  // 60,000 cells
    TextSheet source(context, text.data(), text.size());
    source.TranslateToIntermediate();
    TextSheet target(context, source);
    target.TranslateFromIntermediate();
    EXPECT_EQ(target.Cells()->Count(), 60000u);
  }
  // Blocks grow geometrically: a few dozen at most, however many cells there are.
  EXPECT_LT(upstream.allocations, 32u);
  arena.release();
}

}  // namespace
}  // namespace tabulex
