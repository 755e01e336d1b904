#include "audio/common/property_table.h"

#include "audio/common/module_identity.h"
#include "foundation/util/result.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2 {

const LoadedSettings::Value* LoadedSettings::Find(const char16_t* name) const {
  for (const Value& v : values_) {
    if (v.name.Equals(name, false)) return &v;
  }
  return nullptr;
}

void PropertyTable::AddIdentity(const char16_t* moduleName, const char16_t* description,
                                double version) {
  moduleName_ = moduleName;
  const TString name = moduleName;
  const TString desc = description;
  AddString(u"modulename", kPropIdentityString, kHelpModuleName, [name](TString* v) {
    *v = name;
    return kOk;
  });
  AddString(u"moduledescription", kPropIdentityString, kHelpModuleDescription, [desc](TString* v) {
    *v = desc;
    return kOk;
  });
  AddString(u"modulecopyright", kPropIdentityString, kHelpModuleCopyright, [](TString* v) {
    *v = kModuleCopyright;
    return kOk;
  });
  AddNumber(u"moduleversion", kPropIdentityNumber, kHelpModuleVersion, [version](double* v) {
    *v = version;
    return kOk;
  });
}

void PropertyTable::AddWarmupTime(double seconds) {
  AddNumber(u"warmuptime", kPropIdentityNumber, kHelpWarmupTime, [seconds](double* v) {
    *v = seconds;
    return kOk;
  });
}

void PropertyTable::AddString(const char16_t* name, uint32_t flags, const char16_t* help,
                              StringGet get, StringSet set) {
  Entry e;
  e.name = name;
  e.flags = (flags & ~kPropKindMask) | kPropString;
  e.help = help;
  e.storage = SettingStorage::kString;
  e.getString = std::move(get);
  e.setString = std::move(set);
  entries_.push_back(std::move(e));
}

void PropertyTable::AddInteger(const char16_t* name, uint32_t flags, const char16_t* help,
                               IntegerGet get, IntegerSet set, SettingStorage storage) {
  Entry e;
  e.name = name;
  e.flags = (flags & ~kPropKindMask) | kPropInteger;
  e.help = help;
  e.storage = storage;
  e.getInteger = std::move(get);
  e.setInteger = std::move(set);
  entries_.push_back(std::move(e));
}

void PropertyTable::AddNumber(const char16_t* name, uint32_t flags, const char16_t* help,
                              NumberGet get, NumberSet set) {
  Entry e;
  e.name = name;
  e.flags = (flags & ~kPropKindMask) | kPropNumber;
  e.help = help;
  e.storage = SettingStorage::kDouble;
  e.getNumber = std::move(get);
  e.setNumber = std::move(set);
  entries_.push_back(std::move(e));
}

const PropertyTable::Entry* PropertyTable::Find(const char16_t* name, uint32_t kind) const {
  if (!name) return nullptr;
  for (const Entry& e : entries_) {
    if ((e.flags & kPropKindMask) == kind && e.name.Equals(name, false)) return &e;
  }
  return nullptr;
}

int32_t PropertyTable::GetString(const char16_t* name, TString* value) const {
  const Entry* e = Find(name, kPropString);
  if (!e || !e->getString) return kErrNotFound;
  if (!value) return kErrMissingArg;
  return e->getString(value);
}

int32_t PropertyTable::GetInteger(const char16_t* name, int32_t* value) const {
  const Entry* e = Find(name, kPropInteger);
  if (!e || !e->getInteger) return kErrNotFound;
  if (!value) return kErrMissingArg;
  return e->getInteger(value);
}

int32_t PropertyTable::GetNumber(const char16_t* name, double* value) const {
  const Entry* e = Find(name, kPropNumber);
  if (!e || !e->getNumber) return kErrNotFound;
  if (!value) return kErrMissingArg;
  return e->getNumber(value);
}

int32_t PropertyTable::SetString(const char16_t* name, const char16_t* value) const {
  const Entry* e = Find(name, kPropString);
  if (!e || !e->setString) return kErrNotFound;
  return e->setString(value ? value : u"");
}

int32_t PropertyTable::SetInteger(const char16_t* name, int32_t value) const {
  const Entry* e = Find(name, kPropInteger);
  if (!e || !e->setInteger) return kErrNotFound;
  return e->setInteger(value);
}

int32_t PropertyTable::SetNumber(const char16_t* name, double value) const {
  const Entry* e = Find(name, kPropNumber);
  if (!e || !e->setNumber) return kErrNotFound;
  return e->setNumber(value);
}

int32_t PropertyTable::Describe(PropertyDescriptionList* list) const {
  if (!list) return kErrMissingArg;
  for (const Entry& e : entries_) {
    if (e.help && (!describeFilter_ || describeFilter_(e.name))) {
      list->Append(e.flags, e.name, e.help);
    }
  }
  return kOk;
}

void PropertyTable::Apply(const Entry& e, const LoadedSettings::Value& v) const {
  switch (e.flags & kPropKindMask) {
    case kPropString:
      if (e.setString) e.setString(v.text.c_str());
      break;
    case kPropInteger:
      if (e.setInteger)
        e.setInteger(v.storage == SettingStorage::kBool ? (v.flag ? 1 : 0) : v.integer);
      break;
    case kPropNumber:
      if (e.setNumber) e.setNumber(v.number);
      break;
    default:
      break;
  }
}

int32_t PropertyTable::LoadSettings(MPreferenceStore* section) const {
  if (!section) return kErrMissingArg;
  LoadedSettings loaded;
  for (const Entry& e : entries_) {
    if (!(e.flags & kPropStored)) continue;
    const char16_t* name = e.name.c_str();
    LoadedSettings::Value v;
    v.name = e.name;
    v.storage = e.storage;
    bool found = false;
    switch (e.storage) {
      case SettingStorage::kString:
        found = section->GetString(name, &v.text) == 0;
        if (!found && e.getString) {
          TString current;
          if (e.getString(&current) >= 0) section->PrepString(name, current.c_str());
        }
        break;
      case SettingStorage::kBool:
        // A missing boolean keeps the module's own value, as every other type does: read as
        // off, a setting that defaults to on would be switched off by the first load.
        found = section->GetBool(name, &v.flag) == 0;
        if (!found) {
          int32_t current = 0;
          if (e.getInteger && e.getInteger(&current) >= 0) section->PrepBool(name, current != 0);
        }
        break;
      case SettingStorage::kInt:
        found = section->GetInt(name, &v.integer) == 0;
        if (!found) {
          int32_t current = 0;
          if (e.getInteger && e.getInteger(&current) >= 0) {
            section->PrepInt(name, current, INT32_MIN, INT32_MAX);
          }
        }
        break;
      case SettingStorage::kDouble:
        found = section->GetDouble(name, &v.number) == 0;
        if (!found) {
          double current = 0;
          if (e.getNumber && e.getNumber(&current) >= 0) section->PrepDouble(name, current);
        }
        break;
    }
    if (found) loaded.Add(std::move(v));
  }
  if (applier_) {
    applier_(loaded);
  } else {
    for (const LoadedSettings::Value& v : loaded.Values()) {
      if (const Entry* e = Find(v.name.c_str(), kPropString)) Apply(*e, v);
      if (const Entry* e = Find(v.name.c_str(), kPropInteger)) Apply(*e, v);
      if (const Entry* e = Find(v.name.c_str(), kPropNumber)) Apply(*e, v);
    }
  }
  return kOk;
}

int32_t PropertyTable::SaveSettings(MPreferenceStore* section) const {
  if (!section) return kErrMissingArg;
  for (const Entry& e : entries_) {
    if (!(e.flags & kPropStored)) continue;
    const char16_t* name = e.name.c_str();
    switch (e.flags & kPropKindMask) {
      case kPropString: {
        TString v;
        if (e.getString && e.getString(&v) >= 0) section->SetString(name, v.c_str());
        break;
      }
      case kPropInteger: {
        int32_t v = 0;
        if (!e.getInteger || e.getInteger(&v) < 0) break;
        if (e.storage == SettingStorage::kBool) {
          section->SetBool(name, v != 0);
        } else {
          section->SetInt(name, v);
        }
        break;
      }
      case kPropNumber: {
        double v = 0;
        if (e.getNumber && e.getNumber(&v) >= 0) section->SetDouble(name, v);
        break;
      }
      default:
        break;
    }
  }
  return kOk;
}

}  // namespace vk2
