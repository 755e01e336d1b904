// Named properties every audio module answers: identity texts, read-only values about the
// stream or device, and settings loaded from and saved to a preference section.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MPreferenceStore;

// Description flags: the low four bits give the kind; the rest mark the property's role.
enum PropertyFlags : uint32_t {
  kPropString = 1,
  kPropInteger = 2,
  kPropNumber = 3,
  kPropKindMask = 0x0F,
  kPropInfo = 0x10,      // a read-only value
  kPropDevice = 0x20,    // a read-only value of the device or a tag
  kPropIdentity = 0x30,  // both: module identity, left out of a chain's merged description
  kPropStored = 0x40,    // a setting that LoadSettings reads and SaveSettings writes
  kPropPlaybackOnly = 0x80,
};

inline constexpr uint32_t kPropIdentityString = kPropIdentity | kPropString;        // 49
inline constexpr uint32_t kPropIdentityNumber = kPropIdentity | kPropNumber;        // 51
inline constexpr uint32_t kPropFormatInteger = kPropInfo | kPropInteger;            // 18
inline constexpr uint32_t kPropDeviceName = kPropDevice | kPropString;              // 33
inline constexpr uint32_t kPropDeviceCount = kPropDevice | kPropInteger;            // 34
inline constexpr uint32_t kPropStoredString = kPropStored | kPropString;            // 65
inline constexpr uint32_t kPropStoredInteger = kPropStored | kPropInteger;          // 66
inline constexpr uint32_t kPropStoredNumber = kPropStored | kPropNumber;            // 67
inline constexpr uint32_t kPropPlaybackInteger = kPropPlaybackOnly | kPropInteger;  // 130
inline constexpr uint32_t kPropPlaybackNumber = kPropPlaybackOnly | kPropNumber;    // 131
inline constexpr uint32_t kPropPlaybackDeviceInteger =
    kPropPlaybackOnly | kPropDevice | kPropInteger;  // 162

inline bool IsIdentityProperty(uint32_t flags) {
  return (flags & kPropIdentity) == kPropIdentity;
}

struct PropertyDescription {
  uint32_t flags = 0;
  TString name;
  TString help;
};

// The growable list Describe appends to, in the module's order.
class PropertyDescriptionList {
 public:
  void Append(uint32_t flags, const TString& name, const TString& help) {
    items_.push_back(PropertyDescription{flags, name, help});
  }
  uint32_t Count() const { return static_cast<uint32_t>(items_.size()); }
  const PropertyDescription& At(uint32_t i) const { return items_[i]; }
  // Index of the entry of that name (compared without regard to case), or -1.
  int32_t Find(const char16_t* name) const {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].name.Equals(name, false)) return static_cast<int32_t>(i);
    }
    return -1;
  }
  void Clear() { items_.clear(); }

 private:
  std::vector<PropertyDescription> items_;
};

// Read-only properties. Names compare without regard to case; an unknown name gives -5, a value
// out of range -21, a playback-only value asked while stopped MediaSystem entry 5.
class MModuleInfo : public MUnknown {
 public:
  virtual int32_t GetString(const char16_t* name, TString* value) = 0;
  virtual int32_t GetInteger(const char16_t* name, int32_t* value) = 0;
  virtual int32_t GetNumber(const char16_t* name, double* value) = 0;
  virtual int32_t Describe(PropertyDescriptionList* list) = 0;

 protected:
  ~MModuleInfo() = default;
};

class MModuleProperties : public MModuleInfo {
 public:
  virtual int32_t SetString(const char16_t* name, const char16_t* value) = 0;
  virtual int32_t SetInteger(const char16_t* name, int32_t value) = 0;
  virtual int32_t SetNumber(const char16_t* name, double value) = 0;
  // `section`: the module's own section of the preference store.
  virtual int32_t LoadSettings(MPreferenceStore* section) = 0;
  virtual int32_t SaveSettings(MPreferenceStore* section) = 0;
  // A text for the filters (an effect's "reload your settings"), passed by a chain to every
  // module; `reserved` is 0. A module with nothing to do with it answers 0.
  virtual int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) = 0;

 protected:
  ~MModuleProperties() = default;
};

}  // namespace vk2
