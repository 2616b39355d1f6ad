// An owned reference to a COM interface: released when replaced or destroyed.
#pragma once

#include <utility>

namespace tabulex::addin {

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  // Adopts a reference the caller already holds.
  explicit ComRef(T* adopted) : p_(adopted) {}
  ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.p_, nullptr));
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }

  void Reset(T* adopted = nullptr) {
    if (p_) p_->Release();
    p_ = adopted;
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For calls that hand out a new reference; drop the old one first.
  void** Out() { return reinterpret_cast<void**>(Receive()); }
  T** Receive() {
    Reset();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace tabulex::addin
