// Typed preferences in '/'-separated sections. Every store object is a cursor on one section
// of the process's single preference tree; section and value names compare without regard to
// ASCII case.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MPreferenceStore : public MUnknown {
 public:
  // Moves the cursor to `path`. A path starting with '/' starts at the top; any other starts at
  // the base section (SetBase), or at the top without one. With `create` 0 a missing section
  // fails.
  virtual int32_t OpenSection(const char16_t* path, int32_t create) = 0;
  // Takes `base`'s current section as this store's base and current section.
  virtual int32_t SetBase(MPreferenceStore* base) = 0;
  // Writes the whole tree to disk (atomically). Negative on failure.
  virtual int32_t Save() = 0;

  // Store only when the name holds no value; a present value is kept and the result is the
  // "Preference System" entry "the preference value already exists".
  virtual int32_t PrepString(const char16_t* name, const char16_t* value) = 0;
  virtual int32_t PrepBool(const char16_t* name, bool value) = 0;
  // Also fixes the range of the value: a kept value is brought into it and later writes are
  // clamped to it.
  virtual int32_t PrepInt(const char16_t* name, int32_t value, int32_t minimum,
                          int32_t maximum) = 0;
  virtual int32_t PrepUnsigned(const char16_t* name, uint32_t value) = 0;
  virtual int32_t PrepDouble(const char16_t* name, double value) = 0;
  virtual int32_t PrepDoubleList(const char16_t* name, const double* values, uint32_t count) = 0;
  virtual int32_t PrepGuidList(const char16_t* name, const Guid* values, uint32_t count) = 0;

  // 0 when the value was read; otherwise negative and the out value untouched.
  virtual int32_t GetString(const char16_t* name, TString* value) = 0;
  virtual int32_t GetBool(const char16_t* name, bool* value) = 0;
  virtual int32_t GetInt(const char16_t* name, int32_t* value) = 0;
  virtual int32_t GetUnsigned(const char16_t* name, uint32_t* value) = 0;
  virtual int32_t GetDouble(const char16_t* name, double* value) = 0;
  // Fills up to `capacity` values and sets `*count` to the number stored.
  virtual int32_t GetDoubleList(const char16_t* name, double* values, uint32_t capacity,
                                uint32_t* count) = 0;
  virtual int32_t GetGuidList(const char16_t* name, Guid* values, uint32_t capacity,
                              uint32_t* count) = 0;

  virtual int32_t SetString(const char16_t* name, const char16_t* value) = 0;
  virtual int32_t SetBool(const char16_t* name, bool value) = 0;
  virtual int32_t SetInt(const char16_t* name, int32_t value) = 0;
  virtual int32_t SetUnsigned(const char16_t* name, uint32_t value) = 0;
  virtual int32_t SetDouble(const char16_t* name, double value) = 0;
  virtual int32_t SetDoubleList(const char16_t* name, const double* values, uint32_t count) = 0;
  virtual int32_t SetGuidList(const char16_t* name, const Guid* values, uint32_t count) = 0;

  // Removes a value of the current section; -5 when absent.
  virtual int32_t RemoveValue(const char16_t* name) = 0;
  // Names in the current section, in the order they were made; -5 past the end.
  virtual int32_t GetValueName(uint32_t index, TString* name) = 0;
  virtual int32_t GetSectionName(uint32_t index, TString* name) = 0;

 protected:
  ~MPreferenceStore() = default;
};

}  // namespace vk2
