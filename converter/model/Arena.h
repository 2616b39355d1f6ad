// Objects made in a conversion's memory resource and owned through unique_ptr.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <new>
#include <type_traits>
#include <utility>

namespace tabulex {

// Destroys an object made by MakeIn and gives its storage back to the resource it came from.
// The deleter carries the size of the object it was made for, so a pointer converted to a base
// class still gives back the whole block.
class ArenaDelete {
 public:
  ArenaDelete() = default;
  ArenaDelete(std::pmr::memory_resource& memory, std::size_t size, std::size_t alignment)
      : memory_(&memory),
        size_(static_cast<std::uint32_t>(size)),
        alignment_(static_cast<std::uint32_t>(alignment)) {}

  template <typename T>
  void operator()(T* object) const {
    void* block = BlockOf(object);
    object->~T();
    memory_->deallocate(block, size_, alignment_);
  }

 private:
  // The start of the most derived object, where the block begins.
  template <typename T>
  static void* BlockOf(T* object) {
    if constexpr (std::is_polymorphic_v<T>) {
      return dynamic_cast<void*>(object);
    } else {
      return object;
    }
  }

  std::pmr::memory_resource* memory_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t alignment_ = 0;
};

template <typename T>
using ArenaPtr = std::unique_ptr<T, ArenaDelete>;

// Makes a T in `memory`. A failed allocation throws std::bad_alloc, as the resource does.
template <typename T, typename... Args>
ArenaPtr<T> MakeIn(std::pmr::memory_resource& memory, Args&&... args) {
  static_assert(sizeof(T) <= UINT32_MAX);
  void* block = memory.allocate(sizeof(T), alignof(T));
  try {
    T* object = ::new (block) T(std::forward<Args>(args)...);
    return ArenaPtr<T>(object, ArenaDelete(memory, sizeof(T), alignof(T)));
  } catch (...) {
    memory.deallocate(block, sizeof(T), alignof(T));
    throw;
  }
}

}  // namespace tabulex
