#include "foundation/containers/named_item_array.h"

#include <gtest/gtest.h>

namespace vk2 {
namespace {

struct LookupCase {
  const char16_t* text;
  bool found;
  int32_t value;
};

// The same lookups against a built array and a constant table with the same rows.
const NamedValue kRows[] = {
    {u"repeat", 1}, {u"Shuffle", 2}, {u"REPEAT", 3}, {nullptr, 9}, {u"", 4},
};
const LookupCase kLookups[] = {
    {u"repeat", true, 3},   // the later of two rows with the same name
    {u"shuffle", true, 2},  // case folded
    {u"SHUFFLE", true, 2},  //
    {u"", true, 4},         // an empty name is a name
    {u"shuffl", false, -7}, {u"shuffle ", false, -7},
};

TEST(FindNamedValueTest, SearchesFromTheLastRowIgnoringCase) {
  NamedItemArray items;
  for (const NamedValue& row : kRows) {
    if (row.name) items.Append({row.value, TString(row.name)});
  }
  for (const LookupCase& c : kLookups) {
    SCOPED_TRACE(Utf8(TString(c.text)).c_str());
    int32_t fromItems = -7;
    int32_t fromRows = -7;
    EXPECT_EQ(FindNamedValue(items, TString(c.text), &fromItems), c.found);
    EXPECT_EQ(FindNamedValue(kRows, TString(c.text), &fromRows), c.found);
    EXPECT_EQ(fromItems, c.value);
    EXPECT_EQ(fromRows, c.value);
  }
}

TEST(FindNamedValueTest, EmptyTableFindsNothing) {
  int32_t value = 5;
  EXPECT_FALSE(FindNamedValue(NamedItemArray(), TString(u"a"), &value));
  EXPECT_FALSE(FindNamedValue(std::span<const NamedValue>(), TString(u"a"), &value));
  EXPECT_EQ(value, 5);
}

}  // namespace
}  // namespace vk2
