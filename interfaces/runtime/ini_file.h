// A sectioned key=value file. Sections and keys compare without regard to ASCII case; saving
// keeps the order, comments and blank lines of what was loaded.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MIniFile : public MUnknown {
 public:
  // Replaces the contents. Negative when the file cannot be read.
  virtual int32_t Load(const char16_t* path) = 0;
  virtual int32_t LoadMemory(const void* data, uint64_t size) = 0;
  // Written atomically.
  virtual int32_t Save(const char16_t* path) = 0;
  virtual int32_t SaveToMemory(NarrowString* text) = 0;
  // -5 when the key is missing; ReadInt also fails on text that is not a whole number.
  virtual int32_t ReadString(const char* section, const char* key, NarrowString* value) = 0;
  virtual int32_t ReadInt(const char* section, const char* key, int32_t* value) = 0;
  virtual int32_t WriteString(const char* section, const char* key, const char* value) = 0;
  virtual int32_t WriteInt(const char* section, const char* key, int32_t value) = 0;
  // Removes a key (key non-null) or a whole section; -5 when absent.
  virtual int32_t Remove(const char* section, const char* key) = 0;

 protected:
  ~MIniFile() = default;
};

}  // namespace vk2
