// The property bookkeeping every audio module shares: names, kinds, flags and help texts in the
// module's order, the identity texts, and the stored settings, moved between the module and
// its preference section. Settings that constrain each other are loaded together: LoadSettings
// reads every stored value first and hands them to the module's applier as one group, so the
// result never depends on the order of the writes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/text/tstring.h"
#include "interfaces/audio/module_properties.h"

namespace vk2 {

class MPreferenceStore;

// How a stored setting is kept in the preference section.
enum class SettingStorage : uint8_t { kString, kBool, kInt, kDouble };

// The stored values LoadSettings found, by name.
class LoadedSettings {
 public:
  struct Value {
    TString name;
    SettingStorage storage = SettingStorage::kString;
    TString text;
    bool flag = false;
    int32_t integer = 0;
    double number = 0.0;
  };

  bool Has(const char16_t* name) const { return Find(name) != nullptr; }
  const Value* Find(const char16_t* name) const;
  const std::vector<Value>& Values() const { return values_; }
  void Add(Value v) { values_.push_back(std::move(v)); }

 private:
  std::vector<Value> values_;
};

class PropertyTable {
 public:
  using StringGet = std::function<int32_t(TString*)>;
  using IntegerGet = std::function<int32_t(int32_t*)>;
  using NumberGet = std::function<int32_t(double*)>;
  using StringSet = std::function<int32_t(const char16_t*)>;
  using IntegerSet = std::function<int32_t(int32_t)>;
  using NumberSet = std::function<int32_t(double)>;
  using SettingsApplier = std::function<void(const LoadedSettings&)>;

  // "modulename", "moduledescription", "modulecopyright" (flags 49) and "moduleversion" (51).
  void AddIdentity(const char16_t* moduleName, const char16_t* description, double version);
  // "warmuptime" (51).
  void AddWarmupTime(double seconds);

  // Entries in Describe order; a null help text keeps the entry out of Describe. A setting
  // (flag 0x40) is kept in the section as `storage` (strings as strings, integers as ints,
  // numbers as doubles unless told otherwise).
  void AddString(const char16_t* name, uint32_t flags, const char16_t* help, StringGet get,
                 StringSet set = nullptr);
  void AddInteger(const char16_t* name, uint32_t flags, const char16_t* help, IntegerGet get,
                  IntegerSet set = nullptr, SettingStorage storage = SettingStorage::kInt);
  void AddNumber(const char16_t* name, uint32_t flags, const char16_t* help, NumberGet get,
                 NumberSet set = nullptr);

  // Describe lists only the entries `filter` accepts (for properties that exist only in some
  // states of the module); null lists them all.
  void SetDescribeFilter(std::function<bool(const TString& name)> filter) {
    describeFilter_ = std::move(filter);
  }

  // Replaces the one-by-one application of loaded settings through the setters.
  void SetSettingsApplier(SettingsApplier applier) { applier_ = std::move(applier); }

  const TString& ModuleName() const { return moduleName_; }

  // -5 for a name the table does not know under that kind, or a write to a read-only entry.
  int32_t GetString(const char16_t* name, TString* value) const;
  int32_t GetInteger(const char16_t* name, int32_t* value) const;
  int32_t GetNumber(const char16_t* name, double* value) const;
  int32_t SetString(const char16_t* name, const char16_t* value) const;
  int32_t SetInteger(const char16_t* name, int32_t value) const;
  int32_t SetNumber(const char16_t* name, double value) const;
  int32_t Describe(PropertyDescriptionList* list) const;

  // Reads every stored setting: a value in the section is taken; a missing value is written
  // into the section from the current one (only when absent) and the module keeps it. Then the
  // values go to the applier, or one by one to the setters (a refused value is left out). 0, or -9
  // for a null section.
  int32_t LoadSettings(MPreferenceStore* section) const;
  // Writes every stored setting's current value.
  int32_t SaveSettings(MPreferenceStore* section) const;

 private:
  struct Entry {
    TString name;
    uint32_t flags = 0;
    const char16_t* help = nullptr;
    SettingStorage storage = SettingStorage::kString;
    StringGet getString;
    IntegerGet getInteger;
    NumberGet getNumber;
    StringSet setString;
    IntegerSet setInteger;
    NumberSet setNumber;
  };
  const Entry* Find(const char16_t* name, uint32_t kind) const;
  void Apply(const Entry& e, const LoadedSettings::Value& v) const;

  std::vector<Entry> entries_;
  TString moduleName_;
  SettingsApplier applier_;
  std::function<bool(const TString& name)> describeFilter_;
};

}  // namespace vk2
