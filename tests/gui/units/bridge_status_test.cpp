// The player bridge's pure parts: the remote-host switch, and what each player event shows on
// the status interface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/bridge/player_status.h"
#include "gui/bridge/remote_option.h"
#include "tests/gui/support/state_player.h"

namespace vk2::gui {
namespace {

TArray<TString> Tokens(std::initializer_list<const char16_t*> texts) {
  TArray<TString> tokens;
  for (const char16_t* text : texts)
    tokens.Append(TString(text));
  return tokens;
}

constexpr uint32_t kLoopback = 0x7F000001;

TEST(RemoteOptionTest, HostAndPortAreReadFromEveryRemoteToken) {
  struct Case {
    std::vector<const char16_t*> tokens;
    RemoteOptionResult result;
    uint32_t address;
    uint32_t port;
  };
  const Case cases[] = {
      {{u"velkora2", u"-rlocalhost:0x1F90"}, RemoteOptionResult::kResolved, kLoopback, 8080},
      {{u"velkora2", u"-r127.0.0.1:8000"}, RemoteOptionResult::kResolved, kLoopback, 8000},
      {{u"velkora2", u"-r127.0.0.1:abc"}, RemoteOptionResult::kResolved, kLoopback, 0},
      // An empty port keeps the one an earlier token set.
      {{u"velkora2", u"-r127.0.0.2:99", u"-r127.0.0.1:"},
       RemoteOptionResult::kResolved,
       kLoopback,
       99},
      // The later host wins.
      {{u"velkora2", u"-r127.0.0.2", u"-r10.1.2.3"}, RemoteOptionResult::kResolved, 0x0A010203, 0},
      {{u"velkora2", u"/r127.0.0.1"}, RemoteOptionResult::kNone, 0, 0},
      // Command switches that begin with "r" are no hosts: the start keeps its media core.
      {{u"velkora2", u"-r", u"-repeat", u"all", u"-removecursong", u"-resume"},
       RemoteOptionResult::kNone,
       0,
       0},
  };
  for (const Case& c : cases) {
    TArray<TString> tokens;
    for (const char16_t* text : c.tokens)
      tokens.Append(TString(text));
    RemoteHost host;
    SCOPED_TRACE(Utf8(tokens[tokens.Count() - 1]).c_str());
    EXPECT_EQ(ReadRemoteOption(tokens, &host), c.result);
    EXPECT_EQ(host.address, c.address);
    EXPECT_EQ(host.port, c.port);
    EXPECT_EQ(host.set, c.result == RemoteOptionResult::kResolved);
  }
}

TEST(RemoteOptionTest, AnUnresolvableHostStopsTheReading) {
  RemoteHost host;
  EXPECT_EQ(ReadRemoteOption(Tokens({u"velkora2", u"-rno host.invalid"}), &host),
            RemoteOptionResult::kUnresolvable);
  EXPECT_FALSE(host.set);
}

TEST(PlayerStatusTest, PositionsVolumesAndRepeatModesAreWrittenOut) {
  EXPECT_EQ(PositionText(3600).view(), u"1:00:00");
  EXPECT_EQ(PositionText(3599.9).view(), u"59:59");
  EXPECT_EQ(PositionText(65).view(), u"01:05");
  EXPECT_EQ(PositionText(36125).view(), u"10:02:05");
  EXPECT_EQ(VolumeText(0.555).view(), u"(55%)");
  EXPECT_EQ(VolumeText(1.0).view(), u"(100%)");
  EXPECT_EQ(RepeatText(0).view(), u"Repeat off");
  EXPECT_EQ(RepeatText(1).view(), u"Repeat all");
  EXPECT_EQ(RepeatText(2).view(), u"Repeat one");
  EXPECT_EQ(RepeatText(7).view(), u"Repeat all");
}

struct Shown {
  uint32_t kind;
  uint32_t subKind;
  std::u16string name;
  std::u16string text;
  double fraction;
  bool operator==(const Shown&) const = default;
};

std::vector<Shown> Show(int32_t code, MPlayer* player, const TString& text = TString(),
                        const TString& display = TString()) {
  PlayerEventTexts texts;
  texts.versionText = [] { return TString(u"Velkora 2 1.0 (today)"); };
  texts.displayString = [display] { return display; };
  std::vector<Shown> shown;
  for (const StatusRecord& r : StatusForEvent(code, text, player, texts)) {
    shown.push_back({r.kind, r.subKind, std::u16string(r.name.view()),
                     std::u16string(r.text.view()), r.fraction});
  }
  return shown;
}

TEST(PlayerStatusTest, EachEventShowsItsTexts) {
  RefPtr<test::StatePlayer> player(new test::StatePlayer);
  using V = std::vector<Shown>;
  EXPECT_EQ(Show(kPlayerPlaying, player.Get()), (V{{1, 1, u"", u"Playing", 0}}));
  EXPECT_EQ(Show(kPlayerPlayFailed, player.Get(), u"no decoder"),
            (V{{1, 3, u"", u"Playback failed: no decoder", 0},
               {1, 0, u"", u"Velkora 2 1.0 (today)", 0}}));
  EXPECT_EQ(Show(kPlayerStopping, player.Get()),
            (V{{1, 1, u"", u"Playback stopped", 0}, {1, 0, u"", u"Velkora 2 1.0 (today)", 0}}));
  EXPECT_EQ(Show(kPlayerPausing, player.Get()), (V{{1, 1, u"", u"Playback paused", 0}}));
  EXPECT_EQ(Show(kPlayerSeeked, player.Get()), (V{{1, 1, u"", u"Seeked", 0}}));
  EXPECT_EQ(Show(kPlayerSongStarted, player.Get(), {}, u"Artist - Title"),
            (V{{1, 0, u"", u"Artist - Title", 0}}));
  EXPECT_EQ(Show(kPlayerSongStarted, player.Get()), (V{{1, 0, u"", u"Now playing...", 0}}));
  player->volume = 0.555;
  EXPECT_EQ(Show(kPlayerVolumeChanged, player.Get()), (V{{2, 1, u"Volume", u"(55%)", 0.555}}));
  player->shuffle = 1;
  EXPECT_EQ(Show(kPlayerShuffleChanged, player.Get()), (V{{1, 1, u"", u"Shuffle play: on", 0}}));
  player->repeat = kRepeatOne;
  EXPECT_EQ(Show(kPlayerRepeatChanged, player.Get()), (V{{1, 1, u"", u"Repeat one", 0}}));
  for (int32_t quiet : {int32_t{kPlayerSeekFailed}, int32_t{kPlayerCurrentIdChanged}, 12, -1}) {
    EXPECT_TRUE(Show(quiet, player.Get()).empty()) << quiet;
  }
}

TEST(PlayerStatusTest, SeekingShowsAValueOnlyForItemsOfKnownLength) {
  RefPtr<test::StatePlayer> player(new test::StatePlayer);
  using V = std::vector<Shown>;
  player->time = 30;
  player->item.SetDuration(120, 2);
  EXPECT_EQ(Show(kPlayerSeeking, player.Get()), (V{{2, 1, u"Seek", u"00:30", 0.25}}));
  player->item.SetDuration(120, 4);
  EXPECT_EQ(Show(kPlayerSeeking, player.Get()), (V{{2, 1, u"Seek", u"00:30", 0.25}}));
  player->item.SetDuration(120, 1);  // a guessed length: text only
  EXPECT_EQ(Show(kPlayerSeeking, player.Get()), (V{{1, 1, u"", u"Seek   00:30", 0}}));
  player->item.SetDuration(0, 2);
  EXPECT_EQ(Show(kPlayerSeeking, player.Get()), (V{{1, 1, u"", u"Seek   00:30", 0}}));
}

TEST(PlayerStatusTest, APlayerThatCannotBeReadShowsNothing) {
  RefPtr<test::StatePlayer> player(new test::StatePlayer);
  player->failing = {"info", "get volume", "get shuffle", "get repeat"};
  for (int32_t code :
       {kPlayerSeeking, kPlayerVolumeChanged, kPlayerShuffleChanged, kPlayerRepeatChanged}) {
    EXPECT_TRUE(Show(code, player.Get()).empty()) << code;
    EXPECT_TRUE(Show(code, nullptr).empty()) << code;
  }
}

}  // namespace
}  // namespace vk2::gui
