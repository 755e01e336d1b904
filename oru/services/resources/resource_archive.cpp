#include "oru/services/resources/resource_archive.h"
#include "component/object/com_object.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/text_util.h"
#include "oru/services/resources/member_names.h"

namespace vk2::oru {
namespace {

class ResourceStreamObject final
    : public ComObject<ResourceStreamObject, Face<MResourceStream, kIID_MResourceStream>> {
 public:
  explicit ResourceStreamObject(std::vector<uint8_t> data) : data_(std::move(data)) {}

  uint64_t Size() override { return data_.size(); }
  const uint8_t* Data() override { return data_.data(); }
  int64_t Read(void* buffer, uint64_t count) override {
    if (!buffer) return kErrMissingArg;
    uint64_t left = data_.size() - position_;
    uint64_t n = std::min(left, count);
    if (n) std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return static_cast<int64_t>(n);
  }
  int32_t Seek(uint64_t position) override {
    if (position > data_.size()) return kErrFailed;
    position_ = position;
    return 0;
  }
  uint64_t Position() override { return position_; }

 private:
  ~ResourceStreamObject() override = default;
  std::vector<uint8_t> data_;
  uint64_t position_ = 0;
};

}  // namespace

std::shared_ptr<ArchiveBackend> ResourceArchiveObject::Backend() {
  std::lock_guard lock(mutex_);
  return backend_;
}

void ResourceArchiveObject::Replace(std::shared_ptr<ArchiveBackend> backend) {
  std::lock_guard lock(mutex_);
  backend_ = std::move(backend);
}

int32_t ResourceArchiveObject::GetMemberName(uint32_t index, NarrowString* name) {
  std::shared_ptr<ArchiveBackend> backend = Backend();
  if (!backend || index >= backend->Names().size()) return kErrNotFound;
  if (name) *name = NarrowString(backend->Names()[index].c_str());
  return 0;
}

int32_t ResourceArchiveObject::OpenResource(const char* name, MResourceStream** stream) {
  if (!stream) return kErrMissingArg;
  *stream = nullptr;
  if (!name) return kErrMissingArg;
  std::string normal;
  if (!NormalizeMemberName(name, &normal)) return kErrMissingArg;
  std::shared_ptr<ArchiveBackend> backend = Backend();
  if (!backend) return kErrResourceNotFound;
  const std::vector<std::string>& names = backend->Names();
  const std::string* match = nullptr;
  for (const std::string& n : names) {
    if (n == normal) {
      match = &n;
      break;
    }
  }
  // Archives made on systems that ignore case are read the same way here.
  for (size_t i = 0; !match && i < names.size(); ++i) {
    if (EqualsNoCase(names[i], normal)) match = &names[i];
  }
  if (!match) return kErrResourceNotFound;
  std::vector<uint8_t> data;
  if (int32_t r = backend->Read(*match, &data); r != 0) return r;
  auto* object = new (std::nothrow) ResourceStreamObject(std::move(data));
  if (!object) return kErrOutOfMemory;
  object->AddRef();
  *stream = object;
  return 0;
}

int32_t ResourceArchiveObject::Close() {
  Replace(nullptr);
  return 0;
}

bool ResourceArchiveObject::OpenMemory(const void* data, uint64_t size, bool copy) {
  if (!data || size == 0) return false;
  std::shared_ptr<std::vector<uint8_t>> owned;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  if (copy) {
    owned = std::make_shared<std::vector<uint8_t>>(bytes, bytes + size);
    bytes = owned->data();
  }
  std::shared_ptr<ArchiveBackend> backend = ZipBackend::OpenMemory(bytes, size, owned);
  if (!backend) return false;
  Replace(std::move(backend));
  return true;
}

bool ResourceArchiveObject::OpenFile(const char16_t* path) {
  if (!path || !*path) return false;
  std::string file = ToUtf8(path);
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return false;
  std::shared_ptr<ArchiveBackend> backend;
  if (S_ISDIR(st.st_mode)) {
    backend = FolderBackend::Open(file);
  } else {
    backend = ZipBackend::OpenFile(file);
  }
  if (!backend) return false;
  Replace(std::move(backend));
  return true;
}

int32_t ResourceArchiveObject::LoadFromMemory(const void* data, uint64_t size,
                                              const char* memberName, uint32_t) {
  std::string name;
  if ((!data && size) || !memberName || !NormalizeMemberName(memberName, &name)) return 0;
  if (size > kMaxMemberBytes) return 0;
  auto backend = std::make_shared<MemoryBackend>();
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  backend->Add(name, std::vector<uint8_t>(bytes, bytes + size));
  Replace(std::move(backend));
  return 1;
}

}  // namespace vk2::oru
