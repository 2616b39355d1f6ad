// Runs test code on a thread with a small stack, so that a recursion as deep as the data it walks
// overflows the stack and crashes the test, where the main thread's large stack would let a long
// input pass.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <functional>

namespace tabulex::testing {

inline constexpr std::size_t kSmallStackBytes = 256 * 1024;

// Runs `body` to its end on a new thread whose stack is `stackBytes` large; false when no such
// thread could be started.
inline bool RunOnSmallStack(std::function<void()> body, std::size_t stackBytes = kSmallStackBytes) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  pthread_t thread;
  const bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                       pthread_create(
                           &thread, &attributes,
                           [](void* argument) -> void* {
                             (*static_cast<std::function<void()>*>(argument))();
                             return nullptr;
                           },
                           &body) == 0;
  pthread_attr_destroy(&attributes);
  return started && pthread_join(thread, nullptr) == 0;
}

}  // namespace tabulex::testing
