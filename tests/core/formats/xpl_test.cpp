#include "core/formats/xpl.h"

#include <gtest/gtest.h>

#include "core/formats/playlist_io.h"
#include "documents.h"
#include "format_support.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

std::string Doc(const std::string& version, const std::string& entries) {
  return "<?xml version=\"1.0\"?>\n<?xpl " + version + "?>\n<xpl>" + entries + "</xpl>\n";
}

TEST(XplSniff, FindsTheInstruction) {
  struct Case {
    const char* text;
    bool xpl;
  };
  const Case cases[] = {
      {"<?xpl version=1.0?><xpl/>", true},
      {"<?XPL version=1.0?>", true},
      {"<?xpl x", true},
      {"<?xpl ", false},
      {"<xpl/>", false},
  };
  for (const Case& c : cases) {
    TextStream s(c.text);
    EXPECT_EQ(IsXplFile(s.get()), c.xpl) << c.text;
  }
}

TEST(XplRead, VersionAndStructureAreChecked) {
  struct Case {
    std::string text;
    int32_t result;
  };
  const Case cases[] = {
      {Doc("version=0.9", ""), kErrPlaylistVersion},
      {Doc("version=2.0", "<Entry><URL>http://a</URL></Entry>"), 1},
      {Doc("version = \"1.0\"", ""), 0},
      {Doc("VERSION=1", ""), 0},
      {Doc("version=abc", ""), kErrPlaylistMalformed},
      {Doc("version=1.0 extra=2", ""), kErrPlaylistMalformed},
      {"<xpl><Entry><URL>x</URL></Entry></xpl>", kErrPlaylistMalformed},
      {"<?xpl version=1.0?><other/>", kErrPlaylistMalformed},
      {"<?xpl version=1.0?><xpl><Entry>", kErrPlaylistUnreadable},
  };
  for (const Case& c : cases) {
    TextStream s(c.text, "/m/x/list.xpl");
    ItemInfoArray items;
    items.Append(Item("file:///old"));
    const int32_t r = ReadXpl(s.get(), &items, RuntimeDocuments());
    EXPECT_EQ(r, c.result) << c.text;
    if (r < 0) {
      EXPECT_EQ(items.Count(), 0u);
    }
  }
}

TEST(XplRead, EntriesAndTheirMembers) {
  TextStream s(Doc("version=1.0",
                   "<Entry><Title>no url</Title></Entry>"
                   "<Entry><URL>file:///m/a.mp3</URL><Title>T</Title><Author>A</Author>"
                   "<Duration_Type>verified</Duration_Type><Duration>215.5</Duration>"
                   "<Token Name=\"genre\">rock</Token><Token Name=\"mood\">calm</Token>"
                   "<ScanCompletedness>completescan</ScanCompletedness></Entry>"
                   "<Entry><URL>http://s</URL><Duration_Type>Sometimes</Duration_Type>"
                   "<Duration>12 s</Duration><ScanCompletedness>Half</ScanCompletedness></Entry>"
                   "<Entry><URL>file://../rel.mp3</URL></Entry>"),
               "/m/x/list.xpl");
  ItemInfoArray items;
  ASSERT_EQ(ReadXpl(s.get(), &items, RuntimeDocuments()), 3);
  const ItemInfo& a = items[0];
  EXPECT_EQ(U8(a.url), "file:///m/a.mp3");
  EXPECT_EQ(a.title, u"T");
  EXPECT_EQ(a.author, u"A");
  EXPECT_EQ(a.GetDurationType(), kDurationVerified);
  EXPECT_EQ(a.duration, 215.5f);
  ASSERT_EQ(a.tokens.Count(), 2u);
  EXPECT_EQ(a.tokens[1].name, u"mood");
  EXPECT_EQ(a.tokens[1].value, u"calm");
  EXPECT_EQ(a.GetScan(), kScanComplete);
  EXPECT_EQ(a.Presence(), kUrlPresent | kTitlePresent | kAuthorPresent | kDurationPresent |
                              kDurationTypePresent | kTokensPresent | kScanPresent);
  EXPECT_EQ(items[1].Presence(), kUrlPresent);
  EXPECT_EQ(U8(items[2].url), "file:///m/rel.mp3");
}

ItemInfoArray Sample(const std::string& folder) {
  ItemInfoArray items;
  ItemInfo a;
  a.SetUrl(Utf16("file://" + folder + "/a <&> b.mp3"));
  a.SetTitle(u"Caf\u00e9 \"quoted\" \u0001 tab\there");
  a.SetAuthor(u"Band & Co");
  a.SetDuration(215.5f, kDurationInfinite);
  a.tokens.Append({u"genre", u"rock"});
  a.tokens.Append({u"na\"me", u"<v>"});
  a.Set(kTokensPresent | kScanPresent);
  a.SetScan(kScanUnreadable);
  items.Append(a);
  ItemInfo b = Item("http://radio/s?a=1&b=2");
  b.SetDurationType(kDurationUnknown);
  b.Set(kDurationTypePresent);
  items.Append(b);
  ItemInfo c = Item(("file://" + folder + "/sub/c.mp3").c_str());
  c.SetScan(0);
  c.Set(kScanPresent);
  items.Append(c);
  ItemInfo none;
  none.SetTitle(u"no url");
  items.Append(none);
  return items;
}

TEST(XplWrite, ElementsForEachPresentMember) {
  FileStream out;
  out.OpenBuffer(u"/m/x/list.xpl");
  EXPECT_EQ(WriteXpl(&out, Sample("/m/x"), true, RuntimeDocuments()), 3);
  const std::string text = BufferText(out);
  EXPECT_NE(text.find("<?xpl version=1.0?>"), std::string::npos) << text;
  EXPECT_NE(text.find("<Duration>215.500000</Duration>"), std::string::npos) << text;
  EXPECT_NE(text.find("<Duration_Type>Infinite</Duration_Type>"), std::string::npos);
  EXPECT_NE(text.find("<Duration_Type>Unknown</Duration_Type>"), std::string::npos);
  EXPECT_NE(text.find("<ScanCompletedness>Unreadable</ScanCompletedness>"), std::string::npos);
  EXPECT_EQ(text.find("no url"), std::string::npos);
  EXPECT_NE(text.find("<URL>file://sub/c.mp3</URL>"), std::string::npos) << text;
  // Scan completeness 0 writes no element.
  EXPECT_EQ(text.find("<ScanCompletedness>", text.find("sub/c.mp3")), std::string::npos);
}

TEST(Xpl, RoundTripKeepsEveryMember) {
  TempFolder dir;
  const TString path = Utf16(dir / "list.xpl");
  const ItemInfoArray items = Sample(dir.Path());
  for (bool relative : {false, true}) {
    ASSERT_EQ(
        SavePlaylistFile(
            path, [&](FileStream* s) { return WriteXpl(s, items, relative, RuntimeDocuments()); }),
        3);
    FileStream in;
    ASSERT_TRUE(in.Open(path, kOpenRead | kOpenShareRead | kOpenExisting));
    EXPECT_TRUE(IsXplFile(&in));
    ItemInfoArray back;
    ASSERT_EQ(ReadXpl(&in, &back, RuntimeDocuments()), 3);
    EXPECT_TRUE(SameItemContent(back[0], items[0])) << U8(back[0].title);
    EXPECT_TRUE(SameItemContent(back[1], items[1]));
    // A scan completeness of 0 is not written, so it does not come back.
    EXPECT_EQ(back[2].url, items[2].url);
    EXPECT_FALSE(back[2].Has(kScanPresent));
  }
}

}  // namespace
}  // namespace vk2::test
