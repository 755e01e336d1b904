// The archive object behind MResourceFile and MPrefsDialogRegistry.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/prefs_dialog_registry.h"
#include "interfaces/runtime/resource_file.h"
#include "oru/services/resources/archive_backend.h"

namespace vk2::oru {

class ResourceArchiveObject final
    : public ComObject<ResourceArchiveObject, Face<MResourceFile, kIID_MResourceFile>,
                       Face<MPrefsDialogRegistry, kIID_MPrefsDialogRegistry>> {
 public:
  ResourceArchiveObject() = default;

  int32_t GetMemberName(uint32_t index, NarrowString* name) override;
  int32_t OpenResource(const char* name, MResourceStream** stream) override;
  int32_t Close() override;
  bool OpenMemory(const void* data, uint64_t size, bool copy) override;
  bool OpenFile(const char16_t* path) override;

  int32_t LoadFromMemory(const void* data, uint64_t size, const char* memberName,
                         uint32_t flags) override;

 private:
  ~ResourceArchiveObject() override = default;
  std::shared_ptr<ArchiveBackend> Backend();
  void Replace(std::shared_ptr<ArchiveBackend> backend);

  std::mutex mutex_;
  std::shared_ptr<ArchiveBackend> backend_;
};

}  // namespace vk2::oru
