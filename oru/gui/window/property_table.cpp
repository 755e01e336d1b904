#include "oru/gui/window/property_table.h"

#include "foundation/util/result.h"

namespace vk2::gui {

int32_t PropertyTable::Set(const char16_t* name, int32_t type, const PropertyValue& value) {
  if (!name || !*name) return kErrMissingArg;
  Entry entry;
  entry.type = type;
  switch (type) {
    case kPropertyInteger:
      entry.integer = value.integer;
      break;
    case kPropertyDouble:
      entry.number = value.number;
      break;
    case kPropertyObject:
      entry.object = value.object;
      break;
    case kPropertyInterface:
      entry.object = value.object;
      entry.held = RefPtr<MUnknown>(static_cast<MUnknown*>(value.object));
      break;
    case kPropertyString:
      if (value.text) entry.text = value.text;
      break;
    default:
      return kErrOutOfRange;
  }
  entries_[name] = std::move(entry);
  return 0;
}

int32_t PropertyTable::Get(const char16_t* name, PropertyValue* out) const {
  if (!name || !out) return kErrMissingArg;
  auto it = entries_.find(name);
  if (it == entries_.end()) return kErrNotFound;
  const Entry& e = it->second;
  out->type = e.type;
  out->integer = e.integer;
  out->number = e.number;
  out->object = e.object;
  out->text = e.type == kPropertyString ? e.text.c_str() : nullptr;
  return 0;
}

int32_t PropertyTable::Remove(const char16_t* name) {
  if (!name) return kErrMissingArg;
  return entries_.erase(name) ? 0 : kErrNotFound;
}

double PropertyTable::GetDouble(const std::u16string& name, double fallback) const {
  auto it = entries_.find(name);
  if (it == entries_.end() || it->second.type != kPropertyDouble) return fallback;
  return it->second.number;
}

void PropertyTable::SetDouble(const std::u16string& name, double value) {
  Entry entry;
  entry.type = kPropertyDouble;
  entry.number = value;
  entries_[name] = std::move(entry);
}

}  // namespace vk2::gui
