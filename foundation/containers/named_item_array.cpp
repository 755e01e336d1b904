#include "foundation/containers/named_item_array.h"

namespace vk2 {

bool FindNamedValue(const NamedItemArray& table, const TString& text, int32_t* value) {
  for (uint32_t i = table.Count(); i > 0; --i) {
    const NamedItem& row = table[i - 1];
    if (row.name.Equals(text, false)) {
      *value = row.value;
      return true;
    }
  }
  return false;
}

bool FindNamedValue(std::span<const NamedValue> table, const TString& text, int32_t* value) {
  for (size_t i = table.size(); i > 0; --i) {
    const NamedValue& row = table[i - 1];
    if (row.name && text.Equals(row.name, false)) {
      *value = row.value;
      return true;
    }
  }
  return false;
}

}  // namespace vk2
