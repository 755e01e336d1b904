// A value held by the interpreter while it evaluates: a reference to a script object, owned
// (counted) or borrowed. Borrowed values are those something else keeps alive for the whole
// run: local variables (their frame), literals (the token list) and the shared truth values.
// Taking those without a count spares the atomic operations that dominate tight loops.
#pragma once

#include <cstddef>
#include <utility>

#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

class Value {
 public:
  Value() = default;
  Value(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  // Takes a new reference.
  explicit Value(MScriptObject* object) : p_(object), owned_(object != nullptr) {
    if (p_) p_->AddRef();
  }
  template <class U>
  Value(RefPtr<U>&& ref) : p_(ref.Detach()) {  // NOLINT(google-explicit-constructor)
    owned_ = p_ != nullptr;
  }
  // No reference: the caller guarantees that `object` outlives every use of the value.
  static Value Borrow(MScriptObject* object) {
    Value v;
    v.p_ = object;
    return v;
  }
  Value(const Value& other) : p_(other.p_), owned_(other.owned_) {
    if (owned_ && p_) p_->AddRef();
  }
  Value(Value&& other) noexcept
      : p_(std::exchange(other.p_, nullptr)), owned_(std::exchange(other.owned_, false)) {}
  ~Value() { Reset(); }
  Value& operator=(const Value& other) {
    Value(other).Swap(*this);
    return *this;
  }
  Value& operator=(Value&& other) noexcept {
    Value(std::move(other)).Swap(*this);
    return *this;
  }
  Value& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }

  void Reset() {
    if (owned_ && p_) p_->Release();
    p_ = nullptr;
    owned_ = false;
  }
  void Swap(Value& other) noexcept {
    std::swap(p_, other.p_);
    std::swap(owned_, other.owned_);
  }
  // For out-parameters that hand over a reference.
  MScriptObject** Put() {
    Reset();
    owned_ = true;  // whatever is stored there comes with a reference (or is null)
    return &p_;
  }

  MScriptObject* Get() const { return p_; }
  // True when this value holds a reference of its own (false for borrowed values).
  bool Owned() const { return owned_ && p_; }
  MScriptObject* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool operator==(const Value& other) const { return p_ == other.p_; }

 private:
  MScriptObject* p_ = nullptr;
  bool owned_ = false;
};

}  // namespace vk2
