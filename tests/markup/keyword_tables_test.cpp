// Keyword tables: lookup rules, list combination and the row codes the canvas depends on.
#include <gtest/gtest.h>

#include <optional>

#include "markup/keywords/keyword_tables.h"

namespace vk2::markup {
namespace {

struct ListCase {
  KeywordGroup group;
  const char16_t* text;
  std::optional<uint64_t> code;  // nullopt: refused
};

TEST(KeywordTablesTest, ListsCombineKnownWordsAndRefuseUnknownOnes) {
  const ListCase cases[] = {
      {KeywordGroup::kStates, u"Normal", 1},
      {KeywordGroup::kStates, u"NORMAL", 1},
      {KeywordGroup::kStates, u"norm", std::nullopt},
      {KeywordGroup::kStates, u"hover,hit", 6},
      {KeywordGroup::kStates, u"hover bogus", std::nullopt},
      {KeywordGroup::kStates, u"", std::nullopt},
      {KeywordGroup::kStates, u" , | ", std::nullopt},
      {KeywordGroup::kAlignment, u"h_center|v_center", 6},
      {KeywordGroup::kAlignment, u"right bottom", 9},
      {KeywordGroup::kAlignment, u"\"h_full\", single_line_only", 0x43},
      {KeywordGroup::kOrientation, u"pingpong reverse", 0x10100},
      {KeywordGroup::kHitCodes, u"DRAG", 0x3000},
      {KeywordGroup::kHitCodes, u"active inputfocus", 0x9},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
    uint64_t code = 0xDEAD;
    bool ok = ParseKeywordList(c.text, &code, Keywords(c.group));
    EXPECT_EQ(ok, c.code.has_value());
    if (c.code) {
      EXPECT_EQ(code, *c.code);
    }
  }
}

TEST(KeywordTablesTest, OnlyTheFirstCodeKeepsItsHighBits) {
  uint64_t code = 0;
  // Layer-mode codes reach past 32 bits; a later word contributes only its low half.
  ASSERT_TRUE(
      ParseKeywordList(u"PS_DISSOLVE PS_SCREEN", &code, Keywords(KeywordGroup::kLayerModes)));
  EXPECT_EQ(code, 0x4000001000Full | 0x1160Full);
}

TEST(KeywordTablesTest, LookupIsWholeWordCaseInsensitiveAndFirstRowWins) {
  uint64_t code = 7;
  EXPECT_FALSE(LookupKeyword(Keywords(KeywordGroup::kChannels), std::u16string_view(u""), &code));
  EXPECT_FALSE(LookupKeyword(Keywords(KeywordGroup::kChannels), std::u16string_view(u"RE"), &code));
  EXPECT_EQ(code, 7u);  // untouched on failure
  EXPECT_TRUE(
      LookupKeyword(Keywords(KeywordGroup::kChannels), std::u16string_view(u"red-blue"), &code));
  EXPECT_EQ(code, 0xAu);
  // "normal" is a state and a font style: the group passed decides.
  ASSERT_TRUE(
      LookupKeyword(Keywords(KeywordGroup::kFontStyles), std::string_view("normal"), &code));
  EXPECT_EQ(code, 2u);
}

TEST(KeywordTablesTest, GroupsHaveTheirRowCountsAndBoundaryRows) {
  struct Group {
    KeywordGroup group;
    size_t rows;
    const char* first;
    const char* last;
  } groups[] = {
      {KeywordGroup::kStates, 3, "normal", "hit"},
      {KeywordGroup::kBlitOperations, 33, "COPY", "EXCLUSION"},
      {KeywordGroup::kLayerModes, 15, "PS_NORMAL", "PS_EXCLUSION"},
      {KeywordGroup::kHitCodes, 18, "NONE", "BOTTOMLEFT"},
      {KeywordGroup::kWindowTypes, 15, "generic", "display_dropmenu_item_last"},
      {KeywordGroup::kValueSources, 5, "animtime", "position"},
  };
  for (const Group& g : groups) {
    KeywordTable table = Keywords(g.group);
    ASSERT_EQ(table.size(), g.rows);
    EXPECT_STREQ(table.front().name, g.first);
    EXPECT_STREQ(table.back().name, g.last);
  }
  size_t total = 0;
  for (int32_t i = 0; i < kKeywordGroupCount; ++i)
    total += Keywords(static_cast<KeywordGroup>(i)).size();
  EXPECT_EQ(total, AllKeywords().size());
}

}  // namespace
}  // namespace vk2::markup
