// The INI file object.
#pragma once

#include <atomic>
#include <mutex>

#include "interfaces/runtime/ini_file.h"
#include "oru/services/ini/ini_document.h"

namespace vk2::oru {

class IniFileObject final : public MIniFile {
 public:
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override;
  uint32_t AddRef() override { return count_.fetch_add(1) + 1; }
  uint32_t Release() override;

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
  ~IniFileObject() = default;

  std::mutex mutex_;
  IniDocument document_;
  std::atomic<uint32_t> count_{0};
};

}  // namespace vk2::oru
