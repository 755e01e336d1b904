// `ScriptArgList`: the arguments of one native call as the unpacker reads them. The script
// language adapts its call record to this view; each argument is a single text value or an array
// of text values (numbers reach native code as their text).
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {

class ScriptArgList {
 public:
  virtual uint32_t Count() const = 0;
  static constexpr int32_t kSingleValue = -1;
  // kSingleValue when argument i is a single value, else the number of elements of its array.
  virtual int32_t ArrayLength(uint32_t i) const = 0;
  // The text of single-valued argument i.
  virtual TString ItemText(uint32_t i) const = 0;
  // The text of element j of array argument i.
  virtual TString ElementText(uint32_t i, uint32_t j) const = 0;

 protected:
  ~ScriptArgList() = default;
};

}  // namespace vk2
