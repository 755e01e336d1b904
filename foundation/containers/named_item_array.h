// Name tables: {value, name} rows that map script-visible names to numbers.
#pragma once

#include <cstdint>
#include <span>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2 {

struct NamedItem {
  int32_t value = 0;
  TString name;
};
// Destruction releases every name (last first) and frees the storage.
using NamedItemArray = TArray<NamedItem>;

// A row of a constant table written in the source: static const NamedValue kModes[] = {...}.
struct NamedValue {
  const char16_t* name;
  int32_t value;
};

// Looks `text` up among the rows' names, ASCII case folded, from the last row to the first, so
// that a later row overrides an earlier one of the same name. Stores the value and returns true
// on a match; leaves *value alone otherwise.
bool FindNamedValue(const NamedItemArray& table, const TString& text, int32_t* value);
bool FindNamedValue(std::span<const NamedValue> table, const TString& text, int32_t* value);

}  // namespace vk2
