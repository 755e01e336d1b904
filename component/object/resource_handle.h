// `ResourceHandle`: the record behind a resource stream. Copies of a record share its open file
// (through a counted handle record) and its source object; the last one to let go closes the
// file and frees the source.
#pragma once

#include <cstdint>
#include <utility>

#include "component/object/ref_counted.h"
#include "foundation/text/tstring.h"
#include "foundation/util/handle_holder.h"
#include "foundation/util/ref_ptr.h"

namespace vk2 {

// An open file shared by the copies of a resource record; closed with its last use.
class SharedHandle final : public RefCounted {
 public:
  explicit SharedHandle(int fd) : handle_(fd) {}
  int Get() const { return handle_.Get(); }

 private:
  HandleHolder handle_;
};

class ResourceHandle {
 public:
  ResourceHandle() = default;
  ResourceHandle(const ResourceHandle&) = default;
  ResourceHandle& operator=(const ResourceHandle&) = default;
  ~ResourceHandle() { Reset(); }

  // Takes ownership of `fd` (a new shared handle record with one use), dropping the old one.
  void SetHandle(int fd);
  int Handle() const { return handle_ ? handle_->Get() : FdHandleTraits::kNone; }
  // The object the data comes from (an archive, a package); the record keeps one use of it.
  void SetSource(RefPtr<RefCounted> source) { source_ = std::move(source); }
  RefCounted* Source() const { return source_.Get(); }
  // Which entry of the source the stream reads, for archives with many entries.
  void SetSourceIndex(uintptr_t index) { sourceIndex_ = index; }
  uintptr_t SourceIndex() const { return sourceIndex_; }

  void SetName(const TString& name) { name_ = name; }
  const TString& Name() const { return name_; }
  void SetSize(int64_t size) { size_ = size; }
  int64_t Size() const { return size_; }
  void SetPosition(int64_t position) { position_ = position; }
  int64_t Position() const { return position_; }
  void SetFlags(uint32_t flags) { flags_ = flags; }
  uint32_t Flags() const { return flags_; }

  // Drops this record's use of the handle record (closing the file at the last use) and of the
  // source (freeing it at the last use), clears the source index, name, size, position and
  // flags. Returns whether a handle or a source was held.
  bool Reset();

 private:
  RefPtr<SharedHandle> handle_;
  TString name_;
  uintptr_t sourceIndex_ = 0;
  RefPtr<RefCounted> source_;
  int64_t size_ = 0;
  int64_t position_ = 0;
  uint32_t flags_ = 0;
};

}  // namespace vk2
