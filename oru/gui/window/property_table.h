// Typed named properties of a window: integers, doubles, object pointers, interfaces (held
// with a reference) and strings (copied).
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/window_element.h"

namespace vk2::gui {

class PropertyTable {
 public:
  // kErrMissingArg without a name or value, kErrOutOfRange for an unknown type.
  int32_t Set(const char16_t* name, int32_t type, const PropertyValue& value);
  // kErrNotFound when absent; `out` is then left as it was.
  int32_t Get(const char16_t* name, PropertyValue* out) const;
  int32_t Remove(const char16_t* name);
  // The double under `name`, or `fallback` when absent or not a double.
  double GetDouble(const std::u16string& name, double fallback) const;
  void SetDouble(const std::u16string& name, double value);
  void Clear() { entries_.clear(); }

 private:
  struct Entry {
    int32_t type = kPropertyNone;
    int32_t integer = 0;
    double number = 0;
    void* object = nullptr;
    RefPtr<MUnknown> held;
    std::u16string text;
  };
  std::map<std::u16string, Entry> entries_;
};

}  // namespace vk2::gui
