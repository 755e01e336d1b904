// A package held in memory: a map of member names to bytes, answering as the runtime's zip and
// folder packages do. Interfaces built on the fly (and the tests) load documents from it.
#pragma once

#include <map>
#include <string>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/resource_file.h"

namespace vk2::markup {

class MemoryPackage final
    : public ComObject<MemoryPackage, Face<MResourceFile, kIID_MResourceFile>> {
 public:
  static RefPtr<MemoryPackage> Make(std::map<std::string, std::string> members = {});

  void Put(const std::string& name, std::string bytes);

  int32_t GetMemberName(uint32_t index, NarrowString* name) override;
  // Exact name first, then one that differs only in ASCII case; -17 when none.
  int32_t OpenResource(const char* name, MResourceStream** stream) override;
  int32_t Close() override;
  bool OpenMemory(const void* data, uint64_t size, bool copy) override;
  bool OpenFile(const char16_t* path) override;

 private:
  explicit MemoryPackage(std::map<std::string, std::string> members)
      : members_(std::move(members)) {}
  ~MemoryPackage() override = default;

  std::map<std::string, std::string> members_;
};

}  // namespace vk2::markup
