// `HandleHolder`: owns one system handle (a file descriptor) and closes it when cleared or
// destroyed. BasicHandleHolder takes other handle kinds through a traits type.
#pragma once

#include <utility>

namespace vk2 {

struct FdHandleTraits {
  using Handle = int;
  static constexpr int kNone = -1;
  static void Close(int fd);
};

template <class Traits>
class BasicHandleHolder {
 public:
  using Handle = typename Traits::Handle;

  BasicHandleHolder() = default;
  explicit BasicHandleHolder(Handle handle) : handle_(handle) {}
  BasicHandleHolder(BasicHandleHolder&& other) noexcept
      : handle_(std::exchange(other.handle_, Traits::kNone)) {}
  BasicHandleHolder& operator=(BasicHandleHolder&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Traits::kNone));
    return *this;
  }
  ~BasicHandleHolder() { Close(); }

  // Closes the handle if one is held and clears it.
  void Close() {
    if (handle_ != Traits::kNone) Traits::Close(std::exchange(handle_, Traits::kNone));
  }
  // Closes the held handle and takes `handle`.
  void Reset(Handle handle) {
    Close();
    handle_ = handle;
  }
  // Gives the handle up without closing it.
  Handle Release() { return std::exchange(handle_, Traits::kNone); }
  Handle Get() const { return handle_; }
  bool IsOpen() const { return handle_ != Traits::kNone; }

 private:
  Handle handle_ = Traits::kNone;
};

using HandleHolder = BasicHandleHolder<FdHandleTraits>;

}  // namespace vk2
