#include "oru/services/prefs/preference_store.h"

#include <algorithm>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/error_tables.h"
#include "oru/core/error_tables.h"
#include "oru/core/number_text.h"
#include "oru/core/text_util.h"

namespace vk2::oru {
namespace {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find('/', pos);
    if (next == std::string::npos) next = path.size();
    if (next > pos) parts.push_back(path.substr(pos, next - pos));
    pos = next + 1;
  }
  return parts;
}

bool ValidName(const char16_t* name) {
  return name && *name;
}

int32_t Clamp(int32_t v, const PrefValue& value) {
  return value.hasRange ? std::clamp(v, value.minimum, value.maximum) : v;
}

}  // namespace

PreferenceStoreObject::PreferenceStoreObject(std::shared_ptr<PreferenceTree> tree,
                                             ErrorTables* errors)
    : tree_(std::move(tree)), errors_(errors) {}

int32_t PreferenceStoreObject::Code(uint32_t entry) const {
  return errors_->PreferenceCode(entry);
}

PrefSection* PreferenceStoreObject::Current() {
  return current_ ? current_ : &tree_->Root();
}

int32_t PreferenceStoreObject::OpenSection(const char16_t* path, int32_t create) {
  if (!path) return kErrMissingArg;
  std::string text = ToUtf8(path);
  std::lock_guard lock(tree_->Mutex());
  PrefSection* section = text.starts_with('/') || !base_ ? &tree_->Root() : base_;
  for (const std::string& part : SplitPath(text)) {
    PrefSection* child = section->FindChild(part);
    if (!child) {
      if (!create) return Code(kPrefsSectionMissing);
      child = &section->Child(part);
      tree_->MarkDirty();
    }
    section = child;
  }
  current_ = section;
  return 0;
}

int32_t PreferenceStoreObject::SetBase(MPreferenceStore* base) {
  if (!base) return kErrMissingArg;
  // Only stores of this runtime can be bases; they share this tree.
  auto* other = static_cast<PreferenceStoreObject*>(base);
  if (other->Tree() != tree_.get()) return kErrFailed;
  std::lock_guard lock(tree_->Mutex());
  base_ = other->Current();
  current_ = base_;
  return 0;
}

int32_t PreferenceStoreObject::Save() {
  std::string error;
  return tree_->Save(&error) ? 0 : Code(kPrefsNotSaved);
}

// ---- Writing -------------------------------------------------------------------------------

int32_t PreferenceStoreObject::Store(const char16_t* name, PrefType type, std::string text,
                                     std::vector<std::string> items, bool onlyIfAbsent) {
  if (!ValidName(name)) return Code(kPrefsBadName);
  std::string key = ToUtf8(name);
  std::lock_guard lock(tree_->Mutex());
  PrefSection* section = Current();
  PrefValue* value = section->FindValue(key);
  if (value && onlyIfAbsent) return Code(kPrefsValueExists);
  if (!value) {
    section->values.push_back(PrefValue{key, type, {}, {}, false, 0, 0});
    value = &section->values.back();
  }
  if (type == PrefType::kInt && value->type == PrefType::kInt && value->hasRange) {
    int32_t v = 0;
    if (ParseInt32Text(text, &v)) text = std::to_string(Clamp(v, *value));
  }
  if (type != PrefType::kInt) value->hasRange = false;
  value->type = type;
  value->text = std::move(text);
  value->items = std::move(items);
  tree_->MarkChanged(section, key);
  return 0;
}

int32_t PreferenceStoreObject::PrepString(const char16_t* name, const char16_t* value) {
  return Store(name, PrefType::kString, ToUtf8(value), {}, true);
}
int32_t PreferenceStoreObject::PrepBool(const char16_t* name, bool value) {
  return Store(name, PrefType::kBool, value ? "true" : "false", {}, true);
}
int32_t PreferenceStoreObject::PrepUnsigned(const char16_t* name, uint32_t value) {
  return Store(name, PrefType::kUnsigned, std::to_string(value), {}, true);
}
int32_t PreferenceStoreObject::PrepDouble(const char16_t* name, double value) {
  return Store(name, PrefType::kDouble, FormatDoubleText(value), {}, true);
}

int32_t PreferenceStoreObject::PrepInt(const char16_t* name, int32_t value, int32_t minimum,
                                       int32_t maximum) {
  if (!ValidName(name)) return Code(kPrefsBadName);
  if (minimum > maximum) std::swap(minimum, maximum);
  std::string key = ToUtf8(name);
  std::lock_guard lock(tree_->Mutex());
  PrefSection* section = Current();
  PrefValue* existing = section->FindValue(key);
  if (!existing) {
    PrefValue v{key,    PrefType::kInt, std::to_string(std::clamp(value, minimum, maximum)),
                {},     true,           minimum,
                maximum};
    section->values.push_back(std::move(v));
    tree_->MarkChanged(section, key);
    return 0;
  }
  // The range applies from now on, and to the kept value when it is a number.
  int32_t kept = 0;
  if (ParseInt32Text(existing->text, &kept) &&
      (existing->type == PrefType::kInt || existing->type == PrefType::kString)) {
    existing->type = PrefType::kInt;
    existing->hasRange = true;
    existing->minimum = minimum;
    existing->maximum = maximum;
    existing->text = std::to_string(std::clamp(kept, minimum, maximum));
    tree_->MarkChanged(section, key);
  }
  return Code(kPrefsValueExists);
}

namespace {
std::vector<std::string> DoubleItems(const double* values, uint32_t count) {
  std::vector<std::string> items;
  for (uint32_t i = 0; values && i < count; ++i)
    items.push_back(FormatDoubleText(values[i]));
  return items;
}
std::vector<std::string> GuidItems(const Guid* values, uint32_t count) {
  std::vector<std::string> items;
  for (uint32_t i = 0; values && i < count; ++i)
    items.push_back(FormatGuid(values[i]));
  return items;
}
}  // namespace

int32_t PreferenceStoreObject::PrepDoubleList(const char16_t* name, const double* values,
                                              uint32_t count) {
  return Store(name, PrefType::kDoubleList, {}, DoubleItems(values, count), true);
}
int32_t PreferenceStoreObject::PrepGuidList(const char16_t* name, const Guid* values,
                                            uint32_t count) {
  return Store(name, PrefType::kGuidList, {}, GuidItems(values, count), true);
}

int32_t PreferenceStoreObject::SetString(const char16_t* name, const char16_t* value) {
  return Store(name, PrefType::kString, ToUtf8(value), {}, false);
}
int32_t PreferenceStoreObject::SetBool(const char16_t* name, bool value) {
  return Store(name, PrefType::kBool, value ? "true" : "false", {}, false);
}
int32_t PreferenceStoreObject::SetInt(const char16_t* name, int32_t value) {
  return Store(name, PrefType::kInt, std::to_string(value), {}, false);
}
int32_t PreferenceStoreObject::SetUnsigned(const char16_t* name, uint32_t value) {
  return Store(name, PrefType::kUnsigned, std::to_string(value), {}, false);
}
int32_t PreferenceStoreObject::SetDouble(const char16_t* name, double value) {
  return Store(name, PrefType::kDouble, FormatDoubleText(value), {}, false);
}
int32_t PreferenceStoreObject::SetDoubleList(const char16_t* name, const double* values,
                                             uint32_t count) {
  return Store(name, PrefType::kDoubleList, {}, DoubleItems(values, count), false);
}
int32_t PreferenceStoreObject::SetGuidList(const char16_t* name, const Guid* values,
                                           uint32_t count) {
  return Store(name, PrefType::kGuidList, {}, GuidItems(values, count), false);
}

// ---- Reading -------------------------------------------------------------------------------

int32_t PreferenceStoreObject::Lookup(const char16_t* name, PrefValue* copy) {
  if (!ValidName(name)) return Code(kPrefsBadName);
  std::lock_guard lock(tree_->Mutex());
  PrefValue* value = Current()->FindValue(ToUtf8(name));
  if (!value) return Code(kPrefsValueMissing);
  *copy = *value;
  return 0;
}

int32_t PreferenceStoreObject::GetString(const char16_t* name, TString* out) {
  PrefValue v;
  if (int32_t r = Lookup(name, &v); r != 0) return r;
  if (v.type == PrefType::kDoubleList || v.type == PrefType::kGuidList) {
    return Code(kPrefsWrongType);
  }
  if (out) *out = ToWide(v.text);
  return 0;
}

int32_t PreferenceStoreObject::GetBool(const char16_t* name, bool* out) {
  PrefValue v;
  if (int32_t r = Lookup(name, &v); r != 0) return r;
  bool b;
  if (!ParseBoolText(v.text, &b)) {
    int32_t i;
    if (!ParseInt32Text(v.text, &i)) return Code(kPrefsWrongType);
    b = i != 0;
  }
  if (out) *out = b;
  return 0;
}

int32_t PreferenceStoreObject::GetInt(const char16_t* name, int32_t* out) {
  PrefValue v;
  if (int32_t r = Lookup(name, &v); r != 0) return r;
  int32_t i;
  if (!ParseInt32Text(v.text, &i)) {
    bool b;
    if (v.type != PrefType::kBool || !ParseBoolText(v.text, &b)) return Code(kPrefsWrongType);
    i = b ? 1 : 0;
  }
  if (out) *out = Clamp(i, v);
  return 0;
}

int32_t PreferenceStoreObject::GetUnsigned(const char16_t* name, uint32_t* out) {
  PrefValue v;
  if (int32_t r = Lookup(name, &v); r != 0) return r;
  uint32_t u;
  if (!ParseUint32Text(v.text, &u)) return Code(kPrefsWrongType);
  if (out) *out = u;
  return 0;
}

int32_t PreferenceStoreObject::GetDouble(const char16_t* name, double* out) {
  PrefValue v;
  if (int32_t r = Lookup(name, &v); r != 0) return r;
  double d;
  if (!ParseDoubleText(v.text, &d)) return Code(kPrefsWrongType);
  if (out) *out = d;
  return 0;
}

int32_t PreferenceStoreObject::GetDoubleList(const char16_t* name, double* values,
                                             uint32_t capacity, uint32_t* count) {
  PrefValue v;
  if (int32_t r = Lookup(name, &v); r != 0) return r;
  if (v.type != PrefType::kDoubleList) return Code(kPrefsWrongType);
  std::vector<double> parsed;
  for (const std::string& item : v.items) {
    double d;
    if (!ParseDoubleText(item, &d)) return Code(kPrefsWrongType);
    parsed.push_back(d);
  }
  for (uint32_t i = 0; values && i < capacity && i < parsed.size(); ++i)
    values[i] = parsed[i];
  if (count) *count = static_cast<uint32_t>(parsed.size());
  return 0;
}

int32_t PreferenceStoreObject::GetGuidList(const char16_t* name, Guid* values, uint32_t capacity,
                                           uint32_t* count) {
  PrefValue v;
  if (int32_t r = Lookup(name, &v); r != 0) return r;
  if (v.type != PrefType::kGuidList) return Code(kPrefsWrongType);
  std::vector<Guid> parsed;
  for (const std::string& item : v.items) {
    Guid g;
    if (!ParseGuid(item, &g)) return Code(kPrefsWrongType);
    parsed.push_back(g);
  }
  for (uint32_t i = 0; values && i < capacity && i < parsed.size(); ++i)
    values[i] = parsed[i];
  if (count) *count = static_cast<uint32_t>(parsed.size());
  return 0;
}

// ---- Listing -------------------------------------------------------------------------------

int32_t PreferenceStoreObject::RemoveValue(const char16_t* name) {
  if (!ValidName(name)) return Code(kPrefsBadName);
  std::string key = ToUtf8(name);
  std::lock_guard lock(tree_->Mutex());
  PrefSection* section = Current();
  if (!section->RemoveValue(key)) return kErrNotFound;
  tree_->MarkChanged(section, key);
  return 0;
}

int32_t PreferenceStoreObject::GetValueName(uint32_t index, TString* name) {
  std::lock_guard lock(tree_->Mutex());
  PrefSection* section = Current();
  if (index >= section->values.size()) return kErrNotFound;
  if (name) *name = ToWide(section->values[index].name);
  return 0;
}

int32_t PreferenceStoreObject::GetSectionName(uint32_t index, TString* name) {
  std::lock_guard lock(tree_->Mutex());
  PrefSection* section = Current();
  if (index >= section->children.size()) return kErrNotFound;
  if (name) *name = ToWide(section->children[index]->name);
  return 0;
}

}  // namespace vk2::oru
