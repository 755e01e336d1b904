#include "gui/commands/command_dispatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "tests/gui/support/state_player.h"
#include "tests/gui/support/title_playlist.h"

namespace vk2::gui {
namespace {

using test::StatePlayer;
using test::TitlePlaylist;

class RecordingTargets final : public CommandTargets {
 public:
  RefPtr<StatePlayer> player{new StatePlayer()};
  RefPtr<TitlePlaylist> playlist{new TitlePlaylist()};
  bool havePlayer = true;
  bool havePlaylist = true;
  uint32_t options = kAddFilesPlayImmediately;
  std::vector<std::string> calls;
  std::vector<std::string> queued;
  uint32_t queuedFlags = 0;
  int jobs = 0;
  int32_t shellAnswer = 1;

  RefPtr<MPlayer> DefaultPlayer() override {
    return havePlayer ? RefPtr<MPlayer>(player.Get()) : nullptr;
  }
  RefPtr<MPlaylist> DefaultPlaylist() override {
    return havePlaylist ? RefPtr<MPlaylist>(playlist.Get()) : nullptr;
  }
  uint32_t AddFilesOptions() override { return options; }
  void QueueFiles(MPlaylist* target, const TArray<TString>& files, uint32_t flags) override {
    EXPECT_EQ(target, static_cast<MPlaylist*>(playlist.Get()));
    ++jobs;
    for (const TString& f : files)
      queued.push_back(Utf8(f).c_str());
    queuedFlags = flags;
  }
  int32_t OpenFilesDialog() override { return calls.push_back("open dialog"), 0; }
  int32_t InstallPackage(const TString& path) override {
    return calls.push_back("install " + std::string(Utf8(path).c_str())), 0;
  }
  int32_t StepVisual(bool previous) override {
    calls.push_back(previous ? "prevvis" : "nextvis");
    return kErrNoService;
  }
  int32_t ShellOpen(const TString& target) override {
    calls.push_back("shell " + std::string(Utf8(target).c_str()));
    return shellAnswer;
  }
};

TArray<TString> Tokens(std::initializer_list<const char*> list) {
  TArray<TString> tokens;
  for (const char* t : list)
    tokens.Append(Utf16(t));
  return tokens;
}

bool Exec(RecordingTargets& t, std::initializer_list<const char*> tokens, uint32_t first = 0) {
  return ExecuteCommand(t, Tokens(tokens), first);
}

std::string Diary(const StatePlayer& p) {
  std::string out;
  for (const std::string& d : p.diary)
    out += (out.empty() ? "" : ",") + d;
  return out;
}

// Each line: the tokens, the player's state afterwards, the player calls and the result.
TEST(CommandDispatcher, SwitchTable) {
  struct Case {
    std::vector<const char*> tokens;
    uint32_t startState;
    uint32_t state;
    uint8_t shuffle;
    uint32_t repeat;
    const char* diary;
    bool result;
  } cases[] = {
      {{"-play"}, 0, 1, 0, 0, "play", true},
      {{"/play"}, 0, 1, 0, 0, "play", true},
      {{"-Play"}, 0, 0, 0, 0, "", false},  // names are case-sensitive
      {{"-stop"}, 1, 0, 0, 0, "stop", true},
      {{"-pause"}, 1, 2, 0, 0, "pause", true},
      {{"-resume"}, 2, 1, 0, 0, "play", true},
      {{"-resume"}, 0, 0, 0, 0, "", false},  // only a paused player resumes
      {{"-seeknext"}, 1, 1, 0, 0, "next", true},
      {{"-seekprev"}, 1, 1, 0, 0, "previous", true},
      {{"-shuffle", "on"}, 0, 0, 1, 0, "shuffle", true},
      {{"-shuffle", "OFF"}, 0, 0, 0, 0, "shuffle", true},
      {{"-shuffle"}, 0, 0, 1, 0, "shuffle", true},
      {{"-shuffle", "-play"}, 0, 0, 1, 0, "shuffle", true},  // -play is the argument
      {{"-repeat"}, 0, 0, 0, 2, "repeat", true},
      {{"-repeat", "ALL"}, 0, 0, 0, 1, "repeat", true},
      {{"-repeat", "one"}, 0, 0, 0, 2, "repeat", true},
      {{"-loop", "off"}, 0, 0, 0, 0, "repeat", true},
      {{"-scan", "12.5"}, 1, 1, 0, 0, "scan", true},
      {{"-scan", "abc"}, 1, 1, 0, 0, "", false},
      {{"-scan"}, 1, 1, 0, 0, "", false},
      {{"-a", "-r", "-i", "-n", "-appendonly", "-startsong"}, 0, 0, 0, 0, "", false},
      {{"-nosuchswitch"}, 0, 0, 0, 0, "", false},
      {{"-seekto"}, 0, 0, 0, 0, "", false},
  };
  for (const Case& c : cases) {
    std::string name;
    for (const char* t : c.tokens)
      name += std::string(t) + " ";
    SCOPED_TRACE(name);
    RecordingTargets t;
    t.player->state = c.startState;
    TArray<TString> tokens;
    for (const char* tok : c.tokens)
      tokens.Append(Utf16(tok));
    EXPECT_EQ(ExecuteCommand(t, tokens, 0), c.result);
    EXPECT_EQ(t.player->state, c.startState == c.state ? c.startState : c.state);
    EXPECT_EQ(t.player->shuffle, c.shuffle);
    EXPECT_EQ(t.player->repeat, c.repeat);
    // GetInfo is not a diary entry; only commands are.
    EXPECT_EQ(Diary(*t.player), c.diary);
    EXPECT_EQ(t.jobs, 0);
  }
}

TEST(CommandDispatcher, VolumeArithmetic) {
  struct Case {
    std::vector<const char*> tokens;
    double expected;
    bool result;
  } cases[] = {
      {{"-setvolume", "32768"}, 32768 / 65535.0, true},
      {{"-setvolume", "0x8000"}, 32768 / 65535.0, true},
      {{"-setvolume", "010"}, 8 / 65535.0, true},
      {{"-setvolume", "-6553"}, 0.5 - 6553 / 65535.0, true},
      {{"-setvolume", "+6553"}, 0.5 + 6553 / 65535.0, true},
      {{"-deltavolume", "6553"}, 0.5 + 6553 / 65535.0, true},
      {{"-setvolume", "loud"}, 0.5, false},  // no number: the volume stays
      {{"-setvolume"}, 0.5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tokens[0]) + " " + (c.tokens.size() > 1 ? c.tokens[1] : ""));
    RecordingTargets t;
    TArray<TString> tokens;
    for (const char* tok : c.tokens)
      tokens.Append(Utf16(tok));
    EXPECT_EQ(ExecuteCommand(t, tokens, 0), c.result);
    EXPECT_DOUBLE_EQ(t.player->volume, c.expected);
  }
  RecordingTargets failing;
  failing.player->failing.insert("get volume");
  EXPECT_FALSE(Exec(failing, {"-setvolume", "-5"}));
  EXPECT_DOUBLE_EQ(failing.player->volume, 0.5);
}

TEST(CommandDispatcher, PlaylistSwitches) {
  RecordingTargets t;
  std::vector<uint32_t> ids = t.playlist->AddTitles({"Intro", "Second Song", "Outro"});
  EXPECT_TRUE(Exec(t, {"-seekto", "second song"}));
  EXPECT_EQ(t.player->wentTo, ids[1]);
  EXPECT_FALSE(Exec(t, {"-playto", "Second"}));  // the whole title must match

  t.player->currentId = ids[0];
  EXPECT_TRUE(Exec(t, {"-removecursong"}));
  EXPECT_EQ(t.playlist->Urls(), (std::vector<std::string>{"Second Song", "Outro"}));
  t.player->failing.insert("info");
  EXPECT_FALSE(Exec(t, {"-removecursong"}));
  EXPECT_TRUE(Exec(t, {"-clearplaylist"}));
  EXPECT_TRUE(t.playlist->items.empty());
}

TEST(CommandDispatcher, ShellPackagesVisualsAndDialog) {
  RecordingTargets t;
  EXPECT_TRUE(Exec(t, {"-installskin", "/skins/blue.package"}));
  EXPECT_TRUE(Exec(t, {"-installskin"}));  // counts even with nothing to run
  EXPECT_TRUE(Exec(t, {"-nextvis", "-prevvis"}));
  EXPECT_TRUE(Exec(t, {"-execute", "a", "-opensite", "b", "-openurl", "c"}));
  EXPECT_FALSE(Exec(t, {"-openfiledialog"}));
  t.shellAnswer = 0;
  EXPECT_FALSE(Exec(t, {"-execute", "d"}));
  EXPECT_EQ(t.calls,
            (std::vector<std::string>{"install /skins/blue.package", "nextvis", "prevvis",
                                      "shell a", "shell b", "shell c", "open dialog", "shell d"}));
}

TEST(CommandDispatcher, PlainTokensQueueOneJobWithTheFinalFlags) {
  struct Case {
    std::vector<const char*> tokens;
    uint32_t first;
    uint32_t options;
    std::vector<std::string> files;
    uint32_t flags;
  } cases[] = {
      {{"-r", "a.mp3", "b.mp3"},
       0,
       kAddFilesAppend | kAddFilesPlayImmediately,
       {"a.mp3", "b.mp3"},
       kAddFilesPlayImmediately},
      {{"a.mp3", "-a"},
       0,
       kAddFilesPlayImmediately,
       {"a.mp3"},
       kAddFilesAppend | kAddFilesPlayImmediately},
      {{"/usr/bin/velkora2", "x.ogg", "-n"}, 1, kAddFilesPlayImmediately, {"x.ogg"}, 0},
      // Absolute paths start with '/' like the other form of switches; a known name decides.
      {{"/home/me/a.mp3", "/play", "/music/play"},
       0,
       kAddFilesPlayImmediately,
       {"/home/me/a.mp3", "/music/play"},
       kAddFilesPlayImmediately},
      {{"http://host/stream", "-startsong", "dir"},
       0,
       0,
       {"http://host/stream", "dir"},
       kAddFilesPlayImmediately},
  };
  for (const Case& c : cases) {
    RecordingTargets t;
    t.options = c.options;
    TArray<TString> tokens;
    for (const char* tok : c.tokens)
      tokens.Append(Utf16(tok));
    EXPECT_TRUE(ExecuteCommand(t, tokens, c.first));
    EXPECT_EQ(t.jobs, 1);
    EXPECT_EQ(t.queued, c.files);
    EXPECT_EQ(t.queuedFlags, c.flags);
  }
  RecordingTargets none;
  EXPECT_FALSE(Exec(none, {"/usr/bin/velkora2"}, 1));  // token 0 is the program
  EXPECT_EQ(none.jobs, 0);
}

TEST(CommandDispatcher, NothingRunsWithoutDefaultPlayerOrPlaylist) {
  for (int missing = 0; missing < 2; ++missing) {
    RecordingTargets t;
    (missing == 0 ? t.havePlayer : t.havePlaylist) = false;
    EXPECT_FALSE(Exec(t, {"-play", "a.mp3"}));
    EXPECT_EQ(t.jobs, 0);
    EXPECT_TRUE(t.player->diary.empty());
  }
}

TEST(CommandDispatcher, FailingSwitchEndsOnlyItself) {
  RecordingTargets t;
  t.player->failing.insert("stop");
  EXPECT_FALSE(Exec(t, {"-stop"}));
  EXPECT_TRUE(Exec(t, {"-stop", "-play"}));
  EXPECT_EQ(t.player->state, StatePlayer::kPlaying);
}

TEST(CommandDispatcher, WholeNumbersReadAsBaseZero) {
  struct Case {
    const char16_t* text;
    bool read;
    int32_t value;
  } cases[] = {
      {u"42", true, 42},
      {u"  -7", true, -7},
      {u"0x1F", true, 31},
      {u"017", true, 15},
      {u"0", true, 0},
      {u"08", true, 0},
      {u"99999999999", true, 2147483647},
      {u"-99999999999", true, -2147483647 - 1},
      {u"x", false, 0},
      {u"", false, 0},
      {u"0x", true, 0},
  };
  for (const Case& c : cases) {
    int32_t value = -1;
    EXPECT_EQ(ReadWholeNumberBase0(c.text, &value), c.read) << Utf8(TString(c.text)).c_str();
    EXPECT_EQ(value, c.value) << Utf8(TString(c.text)).c_str();
  }
}

}  // namespace
}  // namespace vk2::gui
