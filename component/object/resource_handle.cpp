#include "component/object/resource_handle.h"

namespace vk2 {

void ResourceHandle::SetHandle(int fd) {
  handle_ = fd == FdHandleTraits::kNone ? RefPtr<SharedHandle>() : RefPtr(new SharedHandle(fd));
}

bool ResourceHandle::Reset() {
  const bool held = handle_ || source_;
  handle_.Reset();
  sourceIndex_ = 0;
  source_.Reset();
  name_.Release();
  size_ = 0;
  position_ = 0;
  flags_ = 0;
  return held;
}

}  // namespace vk2
