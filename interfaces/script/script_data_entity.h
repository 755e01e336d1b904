// The value side of a data item: one text, or an array of data items with optional names.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MScriptObject;

class ScriptDataEntity : public MUnknown {
 public:
  virtual bool IsArray() = 0;
  virtual bool IsScalar() = 0;
  virtual void GetValue(TString* out) = 0;
  virtual bool SetValue(const TString& text) = 0;
  // Members are returned without a reference; the array keeps them alive.
  virtual MScriptObject* GetAt(uint32_t index) = 0;
  virtual MScriptObject* GetMember(const TString& name) = 0;
  virtual MScriptObject* GetAtOrCreate(uint32_t index, bool create) = 0;
  virtual MScriptObject* GetMemberOrCreate(const TString& key, bool create) = 0;
  virtual uint32_t ArraySize() = 0;
  virtual bool SetArraySize(uint32_t count) = 0;
  virtual MScriptObject* AppendNew() = 0;
  // The array takes a new reference on `item`.
  virtual bool Append(MScriptObject* item) = 0;
  virtual bool IsValidIndex(const TString& text) = 0;
  virtual MScriptObject* GetScriptObject() = 0;

 protected:
  ~ScriptDataEntity() = default;
};

}  // namespace vk2
