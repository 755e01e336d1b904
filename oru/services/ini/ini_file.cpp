#include "oru/services/ini/ini_file.h"

#include <string>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/number_text.h"
#include "oru/core/text_util.h"
#include "platform/whole_file.h"

namespace vk2::oru {

int32_t IniFileObject::Load(const char16_t* path) {
  if (!path || !*path) return kErrMissingArg;
  std::string text;
  if (ReadWholeFile(ToUtf8(path), &text)) return kErrCannotRead;
  return LoadMemory(text.data(), text.size());
}

int32_t IniFileObject::LoadMemory(const void* data, uint64_t size) {
  if (!data && size) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  document_.Parse(std::string_view(static_cast<const char*>(data), size));
  return 0;
}

int32_t IniFileObject::Save(const char16_t* path) {
  if (!path || !*path) return kErrMissingArg;
  std::string text;
  {
    std::lock_guard lock(mutex_);
    text = document_.Format();
  }
  return WriteFileAtomic(ToUtf8(path), text) ? kErrCannotWrite : kOk;
}

int32_t IniFileObject::SaveToMemory(NarrowString* text) {
  if (!text) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  std::string s = document_.Format();
  *text = NarrowString(std::string_view(s));
  return 0;
}

int32_t IniFileObject::ReadString(const char* section, const char* key, NarrowString* value) {
  if (!section || !key) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  std::optional<std::string_view> v = document_.Get(section, key);
  if (!v) return kErrNotFound;
  if (value) *value = NarrowString(*v);
  return 0;
}

int32_t IniFileObject::ReadInt(const char* section, const char* key, int32_t* value) {
  if (!section || !key) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  std::optional<std::string_view> v = document_.Get(section, key);
  if (!v) return kErrNotFound;
  int32_t i;
  if (!ParseInt32Text(*v, &i)) return kErrBadData;
  if (value) *value = i;
  return 0;
}

int32_t IniFileObject::WriteString(const char* section, const char* key, const char* value) {
  if (!section || !key) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  return document_.Set(section, key, value ? value : "") ? 0 : kErrMissingArg;
}

int32_t IniFileObject::WriteInt(const char* section, const char* key, int32_t value) {
  return WriteString(section, key, std::to_string(value).c_str());
}

int32_t IniFileObject::Remove(const char* section, const char* key) {
  if (!section) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  bool removed = key ? document_.RemoveKey(section, key) : document_.RemoveSection(section);
  return removed ? 0 : kErrNotFound;
}

}  // namespace vk2::oru
