// Intrusive smart pointer for reference-counted interfaces (AddRef/Release).
#pragma once

#include <utility>

namespace vk2 {

template <class T>
class RefPtr {
 public:
  RefPtr() = default;
  RefPtr(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  // Takes a new reference to `p`.
  explicit RefPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  // Takes over a reference the caller already holds (objects handed out carry one).
  static RefPtr Adopt(T* p) {
    RefPtr r;
    r.p_ = p;
    return r;
  }
  RefPtr(const RefPtr& o) : RefPtr(o.p_) {}
  RefPtr(RefPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  RefPtr(RefPtr<U>&& o) noexcept : p_(o.Detach()) {}  // NOLINT(google-explicit-constructor)
  ~RefPtr() { Reset(); }
  RefPtr& operator=(const RefPtr& o) {
    RefPtr(o).Swap(*this);
    return *this;
  }
  RefPtr& operator=(RefPtr&& o) noexcept {
    RefPtr(std::move(o)).Swap(*this);
    return *this;
  }
  RefPtr& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }

  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(p_, nullptr); }
  void Swap(RefPtr& o) noexcept { std::swap(p_, o.p_); }
  // For out-parameters (`void**`-style creation calls): releases what is held first.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool operator==(const RefPtr& o) const { return p_ == o.p_; }
  bool operator==(std::nullptr_t) const { return p_ == nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace vk2
