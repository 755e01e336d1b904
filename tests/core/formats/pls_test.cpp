#include "core/formats/pls.h"

#include <gtest/gtest.h>

#include "core/formats/playlist_io.h"
#include "documents.h"
#include "format_support.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

TEST(PlsSniff, FindsTheSectionMarkerInAnyCase) {
  struct Case {
    const char* text;
    bool pls;
  };
  const Case cases[] = {
      {"[playlist]\nFile1=a.mp3\n", true},
      {"\n\n[PLAYLIST]\n", true},
      {"[playlist]", false},
      {"x[playlist]", false},
      {"[playlist]\n", true},
      {"#EXTM3U\na.mp3\n", false},
      {"", false},
  };
  for (const Case& c : cases) {
    TextStream s(c.text);
    EXPECT_EQ(IsPlsFile(s.get()), c.pls) << c.text;
  }
  EXPECT_FALSE(IsPlsFile(nullptr));
}

TEST(PlsRead, MissingNumbersAreSkipped) {
  TextStream s(
      "[playlist]\nNumberOfEntries=3\nFile1=a.mp3\nFile3=http://h/s\nTitle1=A\nLength1=20\n");
  ItemInfoArray items;
  ASSERT_EQ(ReadPls(s.get(), &items, RuntimeDocuments()), 2);
  EXPECT_EQ(U8(items[0].url), "file:///m/x/a.mp3");
  EXPECT_EQ(U8(items[1].url), "http://h/s");
  // Neither CachedInfo nor Version: the information keys are not read.
  EXPECT_FALSE(items[0].Has(kTitlePresent));
  EXPECT_FALSE(items[0].Has(kDurationPresent));
}

TEST(PlsRead, InformationFollowsCachedInfoOrVersion) {
  struct Case {
    const char* header;
    bool info;
  };
  const Case cases[] = {
      {"CachedInfo=0\nVersion=2\n", false},
      {"Version=2\n", true},
      {"Version=1\n", false},
      {"CachedInfo=1\n", true},
      {"CachedInfo=1\nVersion=1\n", true},
  };
  for (const Case& c : cases) {
    TextStream s(std::string("[playlist]\nNumberOfEntries=2\n") + c.header +
                 "File1=a.mp3\nTitle1=Song\nAuthor1=Band\nLength1=215\n"
                 "File2=http://radio\nLength2=-1\n");
    ItemInfoArray items;
    ASSERT_EQ(ReadPls(s.get(), &items, RuntimeDocuments()), 2) << c.header;
    EXPECT_EQ(items[0].Has(kTitlePresent), c.info) << c.header;
    if (!c.info) continue;
    EXPECT_EQ(items[0].title, u"Song");
    EXPECT_EQ(items[0].author, u"Band");
    EXPECT_EQ(items[0].duration, 215.f);
    EXPECT_EQ(items[0].GetDurationType(), kDurationEstimate);
    EXPECT_FALSE(items[1].Has(kDurationPresent));
    EXPECT_EQ(items[1].GetDurationType(), kDurationUnknown);
  }
}

TEST(PlsRead, HugeDeclaredCountEndsWithTheFile) {
  TextStream s("[playlist]\nNumberOfEntries=2147483647\nFile1=a.mp3\n");
  ItemInfoArray items;
  EXPECT_EQ(ReadPls(s.get(), &items, RuntimeDocuments()), 1);
}

TEST(PlsRead, FailuresLeaveNoItems) {
  ItemInfoArray items;
  items.Append(Item("file:///old"));
  TextStream s("[playlist]\nNumberOfEntries=1\nFile1=a\n");
  EXPECT_EQ(ReadPls(s.get(), &items, PlaylistDocuments{}), kErrPlaylistNoDocument);
  EXPECT_EQ(items.Count(), 0u);
  EXPECT_EQ(ReadPls(nullptr, &items, RuntimeDocuments()), kErrPlaylistNoStream);
}

ItemInfoArray Sample(const std::string& folder) {
  ItemInfoArray items;
  ItemInfo a = Item(("file://" + folder + "/a.mp3").c_str());
  a.SetTitle(u"Caf\u00e9 = \"x\"");
  a.SetAuthor(u"Band");
  a.SetDuration(215.4f, kDurationVerified);
  items.Append(a);
  ItemInfo b = Item("http://radio/s");
  b.SetDuration(0.f, kDurationInfinite);
  items.Append(b);
  ItemInfo none;
  none.SetTitle(u"no url");
  items.Append(none);
  items.Append(Item(("file://" + folder + "/sub/c.mp3").c_str()));
  return items;
}

TEST(PlsWrite, KeysForEachItem) {
  FileStream out;
  out.OpenBuffer(u"/m/x/list.pls");
  EXPECT_EQ(WritePls(&out, Sample("/m/x"), true, true, RuntimeDocuments()), 3);
  EXPECT_EQ(BufferText(out),
            "[playlist]\nNumberOfEntries=3\nCachedInfo=1\nVersion=2\n"
            "file1=a.mp3\nlength1=215\ntitle1=Caf\xc3\xa9 = \"x\"\nauthor1=Band\n"
            "file2=http://radio/s\nfile3=sub/c.mp3\n");
}

TEST(Pls, RoundTripsThroughAFile) {
  TempFolder dir;
  const TString path = Utf16(dir / "list.pls");
  const ItemInfoArray items = Sample(dir.Path());
  for (bool relative : {false, true}) {
    ASSERT_EQ(SavePlaylistFile(path,
                               [&](FileStream* s) {
                                 return WritePls(s, items, true, relative, RuntimeDocuments());
                               }),
              3);
    FileStream in;
    ASSERT_TRUE(in.Open(path, kOpenRead | kOpenShareRead | kOpenExisting));
    EXPECT_TRUE(IsPlsFile(&in));
    ItemInfoArray back;
    ASSERT_EQ(ReadPls(&in, &back, RuntimeDocuments()), 3);
    EXPECT_EQ(back[0].url, items[0].url);
    EXPECT_EQ(back[0].title, items[0].title);
    EXPECT_EQ(back[0].author, items[0].author);
    EXPECT_EQ(back[0].duration, 215.f);
    EXPECT_EQ(back[1].url, items[1].url);
    EXPECT_FALSE(back[1].Has(kDurationPresent));
    EXPECT_EQ(back[2].url, items[3].url);
  }
}

}  // namespace
}  // namespace vk2::test
