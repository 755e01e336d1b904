// The INI file object.
#pragma once

#include <atomic>
#include <mutex>

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/ini_file.h"
#include "oru/services/ini/ini_document.h"

namespace vk2::oru {

class IniFileObject final : public ComObject<IniFileObject, Face<MIniFile, kIID_MIniFile>> {
 public:
  int32_t Load(const char16_t* path) override;
  int32_t LoadMemory(const void* data, uint64_t size) override;
  int32_t Save(const char16_t* path) override;
  int32_t SaveToMemory(NarrowString* text) override;
  int32_t ReadString(const char* section, const char* key, NarrowString* value) override;
  int32_t ReadInt(const char* section, const char* key, int32_t* value) override;
  int32_t WriteString(const char* section, const char* key, const char* value) override;
  int32_t WriteInt(const char* section, const char* key, int32_t value) override;
  int32_t Remove(const char* section, const char* key) override;

 private:
  ~IniFileObject() override = default;

  std::mutex mutex_;
  IniDocument document_;
};

}  // namespace vk2::oru
