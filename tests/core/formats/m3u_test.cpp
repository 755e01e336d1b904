#include "core/formats/m3u.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/formats/playlist_io.h"
#include "format_support.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

// One expected record: which members are present and what they hold ("-" for absent).
struct Expected {
  const char* url;
  const char* title;
  int duration;   // -1: no duration member
  uint32_t type;  // 0: no type member
};

void ExpectItems(const ItemInfoArray& items, std::initializer_list<Expected> expected) {
  ASSERT_EQ(items.Count(), expected.size());
  uint32_t i = 0;
  for (const Expected& e : expected) {
    const ItemInfo& item = items[i++];
    SCOPED_TRACE(e.url);
    EXPECT_TRUE(item.Has(kUrlPresent));
    EXPECT_EQ(U8(item.url), e.url);
    if (e.title) {
      EXPECT_TRUE(item.Has(kTitlePresent));
      EXPECT_EQ(U8(item.title), e.title);
    } else {
      EXPECT_FALSE(item.Has(kTitlePresent));
    }
    EXPECT_EQ(item.Has(kDurationPresent), e.duration >= 0);
    if (e.duration >= 0) {
      EXPECT_EQ(item.duration, static_cast<float>(e.duration));
    }
    EXPECT_EQ(item.Has(kDurationTypePresent), e.type != 0);
    if (e.type) {
      EXPECT_EQ(item.GetDurationType(), e.type);
    }
    EXPECT_FALSE(item.Has(kIdPresent));
  }
}

TEST(M3uRead, PlainFileIgnoresInformationLines) {
  TextStream s("#EXTINF:12,Song\r\n  a.mp3  \r\n\r\n#comment\nhttp://h/s\n");
  ItemInfoArray items;
  EXPECT_EQ(ReadM3u(s.get(), &items), 2);
  ExpectItems(items, {{"file:///m/x/a.mp3", nullptr, -1, 0}, {"http://h/s", nullptr, -1, 0}});
}

TEST(M3uRead, ExtendedInformationLines) {
  TextStream s(
      "\xEF\xBB\xBF#extm3u\n"
      "#EXTINF:abc,Song\nfirst.mp3\n"
      "#EXTINF: 215\nsecond.mp3\n"
      "#EXTINF:30, Title, with comma \n# a comment between\n..\\third.mp3\n"
      "#EXTINF:-1,Radio\nhttp://radio/stream\n"
      "plain.mp3\n");
  ItemInfoArray items;
  EXPECT_EQ(ReadM3u(s.get(), &items), 5);
  ExpectItems(items, {
                         {"file:///m/x/first.mp3", "Song", 0, kDurationEstimate},
                         {"file:///m/x/second.mp3", nullptr, 215, kDurationEstimate},
                         {"file:///m/third.mp3", "Title, with comma", 30, kDurationEstimate},
                         {"http://radio/stream", "Radio", -1, kDurationUnknown},
                         {"file:///m/x/plain.mp3", nullptr, -1, 0},
                     });
}

TEST(M3uRead, InvalidUtf8IsReadAsLatin1) {
  TextStream s("#EXTM3U\n#EXTINF:1,Caf\xe9 \xc3\xa9t\xc3\xa9\nm\xfcsic.mp3\n");
  ItemInfoArray items;
  ASSERT_EQ(ReadM3u(s.get(), &items), 1);
  EXPECT_EQ(items[0].title, u"Caf\u00e9 \u00e9t\u00e9");
  EXPECT_EQ(items[0].url, u"file:///m/x/m\u00fcsic.mp3");
}

TEST(M3uRead, MissingStreamIsAnError) {
  ItemInfoArray items;
  items.Append(Item("file:///old"));
  EXPECT_EQ(ReadM3u(nullptr, &items), kErrPlaylistNoStream);
  EXPECT_EQ(items.Count(), 0u);
}

ItemInfoArray Sample() {
  ItemInfoArray items;
  ItemInfo a = Item("file:///m/x/a.mp3");
  a.SetTitle(u"Caf\u00e9");
  a.SetDuration(215.5f, kDurationEstimate);
  items.Append(a);
  ItemInfo b = Item("file:///m/other/b.mp3");
  b.SetDuration(100.f, kDurationVerified);
  items.Append(b);
  ItemInfo c = Item("http://radio/stream");
  c.SetTitle(u"Radio");
  items.Append(c);
  ItemInfo d = Item("file:///m/x/d.mp3");
  d.SetDuration(0.f, kDurationInfinite);
  items.Append(d);
  return items;
}

TEST(M3uWrite, ExtendedRelativeLines) {
  FileStream out;
  out.OpenBuffer(u"/m/x/list.m3u");
  EXPECT_EQ(WriteM3u(&out, Sample(), true, true), 4);
  EXPECT_EQ(BufferText(out),
            "#EXTM3U\n"
            "#EXTINF:216,Caf\xc3\xa9\na.mp3\n"
            "#EXTINF:100\n../other/b.mp3\n"
            "#EXTINF:-1,Radio\nhttp://radio/stream\n"
            "d.mp3\n");
}

TEST(M3uWrite, PlainAbsoluteLines) {
  FileStream out;
  out.OpenBuffer(u"/m/x/list.m3u");
  EXPECT_EQ(WriteM3u(&out, Sample(), false, false), 4);
  EXPECT_EQ(BufferText(out), "/m/x/a.mp3\n/m/other/b.mp3\nhttp://radio/stream\n/m/x/d.mp3\n");
}

TEST(M3uWrite, ValuesCannotBreakTheLineStructure) {
  ItemInfoArray items;
  ItemInfo a = Item("file:///m/x/a.mp3");
  a.SetTitle(u"two\nlines\rhere");
  items.Append(a);
  ItemInfo nourl;
  nourl.SetTitle(u"lost");
  items.Append(nourl);
  FileStream out;
  out.OpenBuffer(u"/m/x/list.m3u");
  EXPECT_EQ(WriteM3u(&out, items, true, false), 1);
  EXPECT_EQ(BufferText(out), "#EXTM3U\n#EXTINF:-1,two lines here\n/m/x/a.mp3\n");
}

TEST(M3uWrite, ShortWriteIsAnError) {
  uint8_t block[20];
  FileStream out;
  out.OpenMemory(block, sizeof block, false, nullptr, nullptr, u"/m/x/l.m3u");
  EXPECT_EQ(WriteM3u(&out, Sample(), true, true), kErrPlaylistWrite);
}

TEST(M3u, RoundTripsThroughAFile) {
  TempFolder dir;
  const TString path = Utf16(dir / "list.m3u");
  ItemInfoArray items;
  for (const char* name : {"a.mp3", "sub/b.mp3", "c d.mp3"}) {
    ItemInfo item = Item(("file://" + dir / name).c_str());
    item.SetTitle(Utf16(std::string("T ") + name));
    item.SetDuration(42.f, kDurationEstimate);
    items.Append(item);
  }
  items.Append(Item("http://h/x?y=1"));
  items.Append(Item(("file://" + dir / "#hash.mp3").c_str()));
  for (bool relative : {false, true}) {
    ASSERT_EQ(
        SavePlaylistFile(path, [&](FileStream* s) { return WriteM3u(s, items, true, relative); }),
        5);
    FileStream in;
    ASSERT_TRUE(in.Open(path, kOpenRead | kOpenShareRead | kOpenExisting));
    ItemInfoArray back;
    ASSERT_EQ(ReadM3u(&in, &back), 5);
    for (uint32_t i = 0; i < 5; ++i)
      EXPECT_TRUE(SameItemContent(back[i], items[i])) << i << " " << U8(back[i].url);
  }
}

TEST(M3u, FailedWriterLeavesTheOldFile) {
  TempFolder dir;
  const TString path = Utf16(dir / "list.m3u");
  std::ofstream(dir / "list.m3u") << "old\n";
  EXPECT_EQ(SavePlaylistFile(path, [](FileStream*) { return kErrPlaylistWrite; }),
            kErrPlaylistWrite);
  std::ifstream in(dir / "list.m3u");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "old\n");
  EXPECT_EQ(dir.List(), std::vector<std::string>{"list.m3u"});
}

}  // namespace
}  // namespace vk2::test
