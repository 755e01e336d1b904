// The application state store: values the windows of one interface share without knowing each
// other, filed under a GUID in one of four maps (text, two untyped 32-bit words, objects). It is
// handed around as a plain pointer and answers no interface id.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MAppStateStore : public MUnknown {
 public:
  virtual int32_t SetText(const Guid& key, const TString& text) = 0;
  // -5 when absent (out untouched).
  virtual int32_t GetText(const Guid& key, TString* out) = 0;
  virtual bool RemoveText(const Guid& key) = 0;
  virtual int32_t SetWordA(const Guid& key, uint32_t value) = 0;
  virtual int32_t GetWordA(const Guid& key, uint32_t* out) = 0;
  virtual bool RemoveWordA(const Guid& key) = 0;
  virtual int32_t SetWordB(const Guid& key, uint32_t value) = 0;
  virtual int32_t GetWordB(const Guid& key, uint32_t* out) = 0;
  virtual bool RemoveWordB(const Guid& key) = 0;
  // The store holds one reference on each object; -9 for null.
  virtual int32_t SetObject(const Guid& key, MUnknown* object) = 0;
  // One reference for the caller; -5 when absent.
  virtual int32_t GetObject(const Guid& key, MUnknown** out) = 0;
  virtual bool RemoveObject(const Guid& key) = 0;

 protected:
  ~MAppStateStore() = default;
};

// The visual window's interface holder, and the display area's `display_state` object.
inline constexpr Guid kVisMmlInterfaceKey = MakeGuid("71FCD289-F5A3-4D96-B47F-FDA30412A27F");
inline constexpr Guid kDisplayStateKey = MakeGuid("B0DB649D-3890-4D70-A553-380AC944BE90");

}  // namespace vk2
