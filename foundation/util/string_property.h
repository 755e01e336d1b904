// `StringProperty`: a text attribute that tells "set" from "absent". A value is either set
// directly or taken from a default; with neither, the property reads as the empty string.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2 {

class StringProperty {
 public:
  void Set(const TString& value) {
    value_ = value;
    set_ = true;
    defaulted_ = false;
  }
  // A value that stands in until one is set directly.
  void SetDefault(const TString& value) {
    if (set_) return;
    value_ = value;
    defaulted_ = true;
  }
  void Clear() {
    value_.Release();
    set_ = false;
    defaulted_ = false;
  }
  bool IsSet() const { return set_; }
  bool HasValue() const { return set_ || defaulted_; }
  // A copy of the stored string, or an empty string when nothing is stored.
  TString GetValue() const { return HasValue() ? value_ : TString(); }

 private:
  bool set_ = false;
  TString value_;
  bool defaulted_ = false;
};

}  // namespace vk2
