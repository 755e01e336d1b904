// Cell texts, the image-set pick and the text colour of playlist rows.
#include <gtest/gtest.h>

#include "gui/playlist_view/playlist_cells.h"
#include "gui/playlist_view/playlist_skin.h"

namespace vk2::gui {
namespace {

TEST(PlaylistCellsTest, DurationTextRoundsAndSwitchesToHours) {
  struct Case {
    double seconds;
    const char* text;
  } cases[] = {
      {0.0, "00:00"},      {59.4, "00:59"},       {59.5, "01:00"},
      {600.0, "10:00"},    {3599.4, "59:59"},     {3599.5, "1:00:00"},
      {3723.0, "1:02:03"}, {36000.0, "10:00:00"}, {-5.0, "00:00"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Utf8(DurationText(c.seconds)), c.text) << c.seconds;
}

ItemInfo Timed(float seconds, uint32_t kind, uint32_t flags) {
  ItemInfo item;
  item.duration = seconds;
  item.SetDurationType(kind);
  item.flags |= flags;
  return item;
}

TEST(PlaylistCellsTest, TimeCellByDurationKindAndFlags) {
  struct Case {
    uint32_t kind;
    uint32_t flags;
    const char* text;
  } cases[] = {
      {kDurationEstimate, kDurationPresent | kDurationTypePresent, "~01:05"},
      {kDurationVerified, kDurationPresent | kDurationTypePresent, "01:05"},
      {kDurationInfinite, kDurationTypePresent, "infinite"},
      {kDurationUnknown, kDurationPresent | kDurationTypePresent, ""},
      {kDurationVerified, kDurationPresent, ""},      // the kind is not given
      {kDurationVerified, kDurationTypePresent, ""},  // the time is not given
      {kDurationNone, kDurationPresent | kDurationTypePresent, ""},
  };
  for (const Case& c : cases) {
    ItemInfo item = Timed(65.0f, c.kind, c.flags);
    EXPECT_EQ(Utf8(CellText(&item, u"Time", 0)), c.text) << c.kind << " " << c.flags;
  }
}

TEST(PlaylistCellsTest, NameFallsBackToTheFilePartOfTheUrl) {
  struct Case {
    const char16_t* url;
    const char16_t* title;  // null: absent
    const char* text;
  } cases[] = {
      {u"file:///music/a.ogg", u"Song", "Song"},
      {u"file:///music/a.ogg", u"", "a.ogg"},
      {u"file:///music/a.ogg", nullptr, "a.ogg"},
      {u"C:\\music\\b.mp3", nullptr, "b.mp3"},
      {u"mixed/dir\\c.wav", nullptr, "c.wav"},
      {u"plain", nullptr, "plain"},
      {u"ends/", nullptr, ""},
  };
  for (const Case& c : cases) {
    ItemInfo item;
    item.SetUrl(c.url);
    if (c.title) item.SetTitle(c.title);
    EXPECT_EQ(Utf8(CellText(&item, u"Name", 3)), c.text);
  }
}

TEST(PlaylistCellsTest, OtherColumnsAndAnUnreadableRecord) {
  ItemInfo item;
  item.SetUrl(u"x");
  item.SetAuthor(u"Someone");
  item.tokens.Append(ItemToken{u"mood", u"calm"});
  item.tokens.Append(ItemToken{u"GENRE", u"Folk"});
  item.tokens.Append(ItemToken{u"genre", u"Jazz"});
  item.Set(kTokensPresent);
  EXPECT_EQ(Utf8(CellText(&item, u"#", 6)), "7");
  EXPECT_EQ(Utf8(CellText(&item, u"Author", 0)), "Someone");
  EXPECT_EQ(Utf8(CellText(&item, u"Genre", 0)), "Folk");
  EXPECT_EQ(Utf8(CellText(&item, u"Other", 0)), "");
  item.Clear(kTokensPresent | kAuthorPresent);
  EXPECT_EQ(Utf8(CellText(&item, u"Genre", 0)), "");
  EXPECT_EQ(Utf8(CellText(&item, u"Author", 0)), "");
  // Without a record only the position shows.
  EXPECT_EQ(Utf8(CellText(nullptr, u"#", 0)), "1");
  EXPECT_EQ(Utf8(CellText(nullptr, u"Name", 0)), "");
}

TEST(PlaylistCellsTest, ImageSetPickBandsByPairs) {
  const char* names[] = {"first", "base", "last", "even", "last-even"};
  struct Case {
    int32_t count;
    std::vector<std::string> picks;
  } cases[] = {
      {1, {"first"}},
      {2, {"first", "last-even"}},
      {3, {"first", "even", "last"}},
      {4, {"first", "even", "base", "last"}},
      {5, {"first", "even", "base", "base", "last-even"}},
      {6, {"first", "even", "base", "base", "even", "last-even"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> picks;
    for (int32_t i = 0; i < c.count; ++i)
      picks.push_back(names[PickImageSetEntry(i, c.count)]);
    EXPECT_EQ(picks, c.picks) << c.count;
  }
}

TEST(PlaylistCellsTest, TextColourByStateAndThePlayersItem) {
  ItemTextColours colours;
  colours.plain = 1;
  colours.selected = 2;
  colours.current = 3;
  colours.currentSelected = 4;
  colours.playing = 5;
  colours.currentSong = 6;
  struct Case {
    uint32_t state;
    bool playersItem;
    bool playing;
    bool playingGiven;
    bool currentSongGiven;
    uint32_t colour;
  } cases[] = {
      {0, false, false, true, true, 1}, {1, false, true, true, true, 2},
      {2, false, false, true, true, 3}, {3, false, false, true, true, 4},
      {3, true, true, true, true, 5},   {0, true, true, false, true, 1},
      {1, true, false, true, true, 6},  {2, true, false, true, false, 3},
  };
  for (const Case& c : cases) {
    colours.playingGiven = c.playingGiven;
    colours.currentSongGiven = c.currentSongGiven;
    EXPECT_EQ(ItemTextColour(colours, c.state, c.playersItem, c.playing), c.colour)
        << c.state << c.playersItem << c.playing;
  }
}

}  // namespace
}  // namespace vk2::gui
