// A preference store object: a cursor on a section of the shared preference tree.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "oru/services/prefs/preference_tree.h"

namespace vk2::oru {

class ErrorTables;

class PreferenceStoreObject final
    : public ComObject<PreferenceStoreObject, Face<MPreferenceStore, kIID_MPreferenceStore>> {
 public:
  PreferenceStoreObject(std::shared_ptr<PreferenceTree> tree, ErrorTables* errors);

  int32_t OpenSection(const char16_t* path, int32_t create) override;
  int32_t SetBase(MPreferenceStore* base) override;
  int32_t Save() override;

  int32_t PrepString(const char16_t* name, const char16_t* value) override;
  int32_t PrepBool(const char16_t* name, bool value) override;
  int32_t PrepInt(const char16_t* name, int32_t value, int32_t minimum, int32_t maximum) override;
  int32_t PrepUnsigned(const char16_t* name, uint32_t value) override;
  int32_t PrepDouble(const char16_t* name, double value) override;
  int32_t PrepDoubleList(const char16_t* name, const double* values, uint32_t count) override;
  int32_t PrepGuidList(const char16_t* name, const Guid* values, uint32_t count) override;

  int32_t GetString(const char16_t* name, TString* value) override;
  int32_t GetBool(const char16_t* name, bool* value) override;
  int32_t GetInt(const char16_t* name, int32_t* value) override;
  int32_t GetUnsigned(const char16_t* name, uint32_t* value) override;
  int32_t GetDouble(const char16_t* name, double* value) override;
  int32_t GetDoubleList(const char16_t* name, double* values, uint32_t capacity,
                        uint32_t* count) override;
  int32_t GetGuidList(const char16_t* name, Guid* values, uint32_t capacity,
                      uint32_t* count) override;

  int32_t SetString(const char16_t* name, const char16_t* value) override;
  int32_t SetBool(const char16_t* name, bool value) override;
  int32_t SetInt(const char16_t* name, int32_t value) override;
  int32_t SetUnsigned(const char16_t* name, uint32_t value) override;
  int32_t SetDouble(const char16_t* name, double value) override;
  int32_t SetDoubleList(const char16_t* name, const double* values, uint32_t count) override;
  int32_t SetGuidList(const char16_t* name, const Guid* values, uint32_t count) override;

  int32_t RemoveValue(const char16_t* name) override;
  int32_t GetValueName(uint32_t index, TString* name) override;
  int32_t GetSectionName(uint32_t index, TString* name) override;

  // The section this store stands on (lock held by the caller).
  PrefSection* Current();
  PreferenceTree* Tree() { return tree_.get(); }

 private:
  ~PreferenceStoreObject() override = default;

  int32_t Code(uint32_t entry) const;
  // Stores a scalar or list. `onlyIfAbsent` keeps an existing value.
  int32_t Store(const char16_t* name, PrefType type, std::string text,
                std::vector<std::string> items, bool onlyIfAbsent);
  // Finds the value for a read; negative code when missing.
  int32_t Lookup(const char16_t* name, PrefValue* copy);

  std::shared_ptr<PreferenceTree> tree_;
  ErrorTables* errors_;
  PrefSection* current_ = nullptr;  // null: the top section
  PrefSection* base_ = nullptr;
};

}  // namespace vk2::oru
