// `TArray`: the growable array every deliverable uses. Count and capacity are 32-bit. The
// explicit Grow calls add fixed steps chosen by the owner (10 for pointer lists, 640 or 1280 for
// the pools' lists). Append and InsertAt grow by the owner's step or by half the capacity,
// whichever is more: short lists stay as small as the step makes them, and a long run of
// appends moves each element a bounded number of times instead of once per step.
//
// Elements are moved with their own move operations (trivially copyable ones go through
// realloc), and the destructor destroys them from the last to the first before freeing the
// storage: an array of `TString` releases its strings, an array of `RefPtr` its interfaces, in
// that order.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace vk2 {

template <class T>
class TArray {
  static_assert(alignof(T) <= alignof(std::max_align_t), "storage comes from malloc");
  static_assert(std::is_nothrow_move_constructible_v<T>,
                "elements are relocated on growth and must not throw while moving");

 public:
  static constexpr uint32_t kDefaultGrowStep = 10;

  TArray() = default;
  // `growStep`: the least that Append and InsertAt add to the capacity when full.
  explicit TArray(uint32_t growStep) : growStep_(growStep ? growStep : 1) {}
  TArray(const TArray& other) requires std::copy_constructible<T> : growStep_(other.growStep_) {
    CopyFrom(other);
  }
  TArray(TArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        count_(std::exchange(other.count_, 0)),
        capacity_(std::exchange(other.capacity_, 0)),
        growStep_(other.growStep_) {}
  TArray& operator=(const TArray& other) requires std::copy_constructible<T> {
    if (this != &other) {
      Clear();
      CopyFrom(other);
    }
    return *this;
  }
  TArray& operator=(TArray&& other) noexcept {
    if (this != &other) {
      Clear();
      data_ = std::exchange(other.data_, nullptr);
      count_ = std::exchange(other.count_, 0);
      capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
  }
  ~TArray() { Clear(); }

  uint32_t Count() const { return count_; }
  uint32_t Capacity() const { return capacity_; }
  bool IsEmpty() const { return count_ == 0; }
  T* Data() { return data_; }
  const T* Data() const { return data_; }
  T& operator[](uint32_t i) { return data_[i]; }
  const T& operator[](uint32_t i) const { return data_[i]; }
  T& Last() { return data_[count_ - 1]; }
  const T& Last() const { return data_[count_ - 1]; }
  T* begin() { return data_; }
  T* end() { return data_ + count_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + count_; }

  // Capacity growth in the fixed steps the owners use; false when memory runs out (the array
  // is then unchanged).
  bool Grow() { return GrowBy(10); }
  bool GrowByOne() { return GrowBy(1); }
  bool GrowBy640() { return GrowBy(640); }
  bool GrowBy1280() { return GrowBy(1280); }
  bool GrowBy(uint32_t extra) {
    if (extra > UINT32_MAX - capacity_) return false;
    return Reallocate(capacity_ + extra);
  }
  // Raises the capacity to at least `capacity`.
  bool Reserve(uint32_t capacity) { return capacity <= capacity_ || Reallocate(capacity); }

  // Count and capacity become exactly n (negative counts as 0): new elements are
  // value-initialised, surplus ones destroyed from the last. Returns the old count. When memory
  // runs out while growing, the elements stay as they were; callers that care compare Count()
  // with n.
  uint32_t Resize(int32_t n) requires std::default_initializable<T> {
    const uint32_t old = count_;
    const uint32_t target = n < 0 ? 0 : static_cast<uint32_t>(n);
    if (target < count_) DestroyRange(target, count_);
    count_ = std::min(count_, target);
    if (!Reallocate(target)) return old;
    for (; count_ < target; ++count_)
      new (data_ + count_) T();
    return old;
  }
  // Drops the elements from `count` on (last first); the capacity stays.
  void Truncate(uint32_t count) {
    if (count >= count_) return;
    DestroyRange(count, count_);
    count_ = count;
  }

  // Appends, growing when full; false when memory runs out. Takes the value by value so that
  // appending one of the array's own elements survives the reallocation.
  bool Append(T value) {
    if (count_ == capacity_ && !GrowForOneMore()) return false;
    new (data_ + count_) T(std::move(value));
    ++count_;
    return true;
  }
  // Inserts before `index` (index == Count() appends), moving the tail up by one.
  bool InsertAt(uint32_t index, T value) {
    if (index > count_) return false;
    if (index == count_) return Append(std::move(value));
    if (count_ == capacity_ && !GrowForOneMore()) return false;
    new (data_ + count_) T(std::move(data_[count_ - 1]));
    std::move_backward(data_ + index, data_ + count_ - 1, data_ + count_);
    data_[index] = std::move(value);
    ++count_;
    return true;
  }
  // Removes the element at `index`, moving the tail down by one.
  bool RemoveAt(uint32_t index) {
    if (index >= count_) return false;
    std::move(data_ + index + 1, data_ + count_, data_ + index);
    data_[--count_].~T();
    return true;
  }
  void RemoveLast() {
    if (count_ > 0) data_[--count_].~T();
  }
  // Index of the first element equal to `value`, or -1.
  int32_t IndexOf(const T& value) const requires std::equality_comparable<T> {
    for (uint32_t i = 0; i < count_; ++i) {
      if (data_[i] == value) return static_cast<int32_t>(i);
    }
    return -1;
  }

  // Destroys every element from the last to the first, frees the storage, and zeroes pointer,
  // count and capacity.
  void Clear() {
    DestroyRange(0, count_);
    std::free(data_);
    data_ = nullptr;
    count_ = 0;
    capacity_ = 0;
  }
  void Swap(TArray& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(count_, other.count_);
    std::swap(capacity_, other.capacity_);
    std::swap(growStep_, other.growStep_);
  }

 private:
  // Room for one more element: geometric growth with the owner's step as the floor, falling
  // back to the bare step when the larger block cannot be had.
  bool GrowForOneMore() {
    const uint32_t extra = std::max(growStep_, capacity_ / 2);
    return GrowBy(extra) || (extra > growStep_ && GrowBy(growStep_));
  }

  void DestroyRange(uint32_t from, uint32_t to) {
    if constexpr (!std::is_trivially_destructible_v<T>) {
      for (uint32_t i = to; i > from; --i)
        data_[i - 1].~T();
    }
  }

  // Storage for exactly `capacity` elements (0 frees it); count_ must not exceed it.
  bool Reallocate(uint32_t capacity) {
    if (capacity == capacity_) return true;
    if (capacity == 0) {
      std::free(data_);
      data_ = nullptr;
      capacity_ = 0;
      return true;
    }
    const size_t bytes = static_cast<size_t>(capacity) * sizeof(T);
    T* fresh;
    if constexpr (std::is_trivially_copyable_v<T>) {
      fresh = static_cast<T*>(std::realloc(data_, bytes));
      if (!fresh) return false;
    } else {
      fresh = static_cast<T*>(std::malloc(bytes));
      if (!fresh) return false;
      for (uint32_t i = 0; i < count_; ++i) {
        new (fresh + i) T(std::move(data_[i]));
        data_[i].~T();
      }
      std::free(data_);
    }
    data_ = fresh;
    capacity_ = capacity;
    return true;
  }

  void CopyFrom(const TArray& other) {
    if (!Reallocate(other.count_)) return;
    for (; count_ < other.count_; ++count_)
      new (data_ + count_) T(other.data_[count_]);
  }

  T* data_ = nullptr;
  uint32_t count_ = 0;
  uint32_t capacity_ = 0;
  uint32_t growStep_ = kDefaultGrowStep;
};

}  // namespace vk2
