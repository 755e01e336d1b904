#include "markup/package/memory_package.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/text/tstring.h"

namespace vk2::markup {
namespace {

class MemoryStream final
    : public ComObject<MemoryStream, Face<MResourceStream, kIID_MResourceStream>> {
 public:
  explicit MemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

  uint64_t Size() override { return bytes_.size(); }
  const uint8_t* Data() override { return reinterpret_cast<const uint8_t*>(bytes_.data()); }
  int64_t Read(void* buffer, uint64_t count) override {
    uint64_t n = std::min<uint64_t>(count, bytes_.size() - position_);
    if (n) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return static_cast<int64_t>(n);
  }
  int32_t Seek(uint64_t position) override {
    if (position > bytes_.size()) return -1;
    position_ = position;
    return 0;
  }
  uint64_t Position() override { return position_; }

 private:
  ~MemoryStream() override = default;
  std::string bytes_;
  uint64_t position_ = 0;
};

}  // namespace

RefPtr<MemoryPackage> MemoryPackage::Make(std::map<std::string, std::string> members) {
  auto* package = new (std::nothrow) MemoryPackage(std::move(members));
  return RefPtr<MemoryPackage>(package);
}

void MemoryPackage::Put(const std::string& name, std::string bytes) {
  members_[name] = std::move(bytes);
}

int32_t MemoryPackage::GetMemberName(uint32_t index, NarrowString* name) {
  if (index >= members_.size()) return kErrNotFound;
  auto it = std::next(members_.begin(), index);
  if (name) *name = NarrowString(std::string_view(it->first));
  return kOk;
}

int32_t MemoryPackage::OpenResource(const char* name, MResourceStream** stream) {
  if (!stream) return kErrMissingArg;
  *stream = nullptr;
  if (!name || !*name) return kErrMissingArg;
  auto it = members_.find(name);
  if (it == members_.end()) {
    it = std::find_if(members_.begin(), members_.end(), [name](const auto& member) {
      return NarrowCompare(member.first.c_str(), name, false) == 0;
    });
  }
  if (it == members_.end()) return kErrResourceNotFound;
  auto* opened = new (std::nothrow) MemoryStream(it->second);
  if (!opened) return kErrOutOfMemory;
  opened->AddRef();
  *stream = opened;
  return kOk;
}

int32_t MemoryPackage::Close() {
  members_.clear();
  return kOk;
}

bool MemoryPackage::OpenMemory(const void*, uint64_t, bool) {
  return false;
}

bool MemoryPackage::OpenFile(const char16_t*) {
  return false;
}

}  // namespace vk2::markup
