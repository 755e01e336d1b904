#include "gui/commands/command_dispatcher.h"

#include <cstdint>
#include <limits>

#include "foundation/text/number_parse.h"
#include "foundation/util/result.h"

namespace vk2::gui {
namespace {

constexpr double kVolumeUnits = 65535.0;

enum class Switch {
  kAppend,
  kReplace,
  kImmediate,
  kNotImmediate,
  kStop,
  kPause,
  kPlay,
  kResume,
  kOpenFileDialog,
  kInstallSkin,
  kNextVis,
  kPrevVis,
  kSeekNext,
  kSeekPrev,
  kClearPlaylist,
  kRemoveCurrentSong,
  kShuffle,
  kRepeat,
  kSeekTo,
  kSetVolume,
  kDeltaVolume,
  kScan,
  kExecute,
};

struct SwitchEntry {
  const char16_t* name;
  Switch what;
  bool takesArgument;
};

// Compared in this order, case-sensitively; the first match wins.
constexpr SwitchEntry kSwitches[] = {
    {u"a", Switch::kAppend, false},
    {u"r", Switch::kReplace, false},
    {u"i", Switch::kImmediate, false},
    {u"n", Switch::kNotImmediate, false},
    {u"stop", Switch::kStop, false},
    {u"pause", Switch::kPause, false},
    {u"play", Switch::kPlay, false},
    {u"resume", Switch::kResume, false},
    {u"openfiledialog", Switch::kOpenFileDialog, false},
    {u"installskin", Switch::kInstallSkin, true},
    {u"nextvis", Switch::kNextVis, false},
    {u"prevvis", Switch::kPrevVis, false},
    {u"seeknext", Switch::kSeekNext, false},
    {u"seekprev", Switch::kSeekPrev, false},
    {u"clearplaylist", Switch::kClearPlaylist, false},
    {u"removecursong", Switch::kRemoveCurrentSong, false},
    {u"appendonly", Switch::kAppend, false},
    {u"startsong", Switch::kImmediate, false},
    {u"shuffle", Switch::kShuffle, true},
    {u"repeat", Switch::kRepeat, true},
    {u"loop", Switch::kRepeat, true},
    {u"seekto", Switch::kSeekTo, true},
    {u"playto", Switch::kSeekTo, true},
    {u"setvolume", Switch::kSetVolume, true},
    {u"deltavolume", Switch::kDeltaVolume, true},
    {u"scan", Switch::kScan, true},
    {u"execute", Switch::kExecute, true},
    {u"opensite", Switch::kExecute, true},
    {u"openurl", Switch::kExecute, true},
};

const SwitchEntry* FindSwitch(const char16_t* name) {
  for (const SwitchEntry& entry : kSwitches) {
    if (WideCompare(name, entry.name, true) == 0) return &entry;
  }
  return nullptr;
}

// A switch starts with '-', or with '/' when a known switch name follows: an absolute path
// starts with '/' too, and is a file to add.
bool IsSwitchToken(const TString& token) {
  if (token.IsEmpty()) return false;
  if (token[0] == u'-') return true;
  return token[0] == u'/' && FindSwitch(token.c_str() + 1) != nullptr;
}

bool IsWhite(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;
}

bool IsPaused(MPlayer* player) {
  PlayerInfo info;
  return player->GetInfo(&info) >= 0 && (info.state & kPlayerStateMask) == 2;
}

// Whole-volume arithmetic: absolute, or relative to the player's volume.
bool ApplyVolume(MPlayer* player, const TString& argument, bool relative) {
  int32_t value = 0;
  // An argument with no number leaves the volume alone rather than muting the player.
  if (!ReadWholeNumberBase0(argument.c_str(), &value)) return false;
  double volume = value / kVolumeUnits;
  if (relative) {
    double current = 0;
    if (player->GetVolume(&current) < 0) return false;
    volume += current;
  }
  return player->SetVolume(volume) >= 0;
}

bool SeekToTitle(MPlayer* player, MPlaylist* playlist, const TString& title) {
  TArray<ItemInfo> items;
  uint32_t revision = 0;
  if (playlist->GetCurrentItems(&items, &revision) < 0) return false;
  for (const ItemInfo& item : items) {
    if (!item.title.Equals(title, false)) continue;
    return player->SeekToUID(item.id, 0.0, 1, 0, 0) >= 0;
  }
  return false;
}

bool RemoveCurrentSong(MPlayer* player, MPlaylist* playlist) {
  PlayerInfo info;
  if (player->GetInfo(&info) < 0) return false;
  uint32_t id = info.currentId;
  return playlist->RemoveItems(&id, 1) >= 0;
}

uint32_t RepeatModeOf(const TString* argument) {
  if (argument && argument->Equals(u"off", false)) return kRepeatOff;
  if (argument && argument->Equals(u"all", false)) return kRepeatAll;
  return kRepeatOne;
}

struct Dispatch {
  CommandTargets& targets;
  MPlayer* player;
  MPlaylist* playlist;
  uint32_t flags;

  // Runs one switch; `argument` is null when a switch that takes one found none. True when it
  // took effect.
  bool Run(Switch what, const TString* argument) {
    switch (what) {
      case Switch::kAppend:
        flags |= kAddFilesAppend;
        return false;
      case Switch::kReplace:
        flags &= ~kAddFilesAppend;
        return false;
      case Switch::kImmediate:
        flags |= kAddFilesPlayImmediately;
        return false;
      case Switch::kNotImmediate:
        flags &= ~kAddFilesPlayImmediately;
        return false;
      case Switch::kStop:
        return player->Stop(0) >= 0;
      case Switch::kPause:
        return player->Pause(0) >= 0;
      case Switch::kPlay:
        return player->Play(0) >= 0;
      case Switch::kResume:
        return IsPaused(player) && player->Play(0) >= 0;
      case Switch::kOpenFileDialog:
        targets.OpenFilesDialog();
        return false;
      case Switch::kInstallSkin:
        if (argument) targets.InstallPackage(*argument);
        return true;
      case Switch::kNextVis:
      case Switch::kPrevVis:
        targets.StepVisual(what == Switch::kPrevVis);
        return true;
      case Switch::kSeekNext:
        return player->Next(0) >= 0;
      case Switch::kSeekPrev:
        return player->Previous(0) >= 0;
      case Switch::kClearPlaylist:
        return playlist->RemoveAll() >= 0;
      case Switch::kRemoveCurrentSong:
        return RemoveCurrentSong(player, playlist);
      case Switch::kShuffle:
        return player->SetShuffle(argument && argument->Equals(u"off", false) ? 0 : 1) >= 0;
      case Switch::kRepeat:
        return player->SetRepeat(RepeatModeOf(argument)) >= 0;
      case Switch::kSeekTo:
        return argument && SeekToTitle(player, playlist, *argument);
      case Switch::kSetVolume:
        return argument &&
               ApplyVolume(player, *argument, (*argument)[0] == u'+' || (*argument)[0] == u'-');
      case Switch::kDeltaVolume:
        return argument && ApplyVolume(player, *argument, true);
      case Switch::kScan: {
        double seconds = 0;
        if (!argument || ParseNumberText(argument->c_str(), &seconds) == 0) return false;
        return player->Scan(seconds, 1, 0) >= 0;
      }
      case Switch::kExecute:
        return argument && targets.ShellOpen(*argument) != 0;
    }
    return false;
  }
};

}  // namespace

bool IsCommandSwitch(const char16_t* name) {
  return FindSwitch(name) != nullptr;
}

bool ReadWholeNumberBase0(const char16_t* text, int32_t* out) {
  *out = 0;
  if (!text) return false;
  const char16_t* p = text;
  while (IsWhite(*p))
    ++p;
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
  int base = 10;
  if (p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') && DigitValue(p[2]) < 16) {
    base = 16;
    p += 2;
  } else if (p[0] == u'0') {
    base = 8;
  }
  if (DigitValue(*p) >= base) return false;
  int64_t magnitude = 0;
  const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
  for (; DigitValue(*p) < base; ++p) {
    magnitude = magnitude * base + DigitValue(*p);
    if (magnitude > limit) magnitude = limit;
  }
  *out = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

bool ExecuteCommand(CommandTargets& targets, const TArray<TString>& tokens, uint32_t first) {
  RefPtr<MPlayer> player = targets.DefaultPlayer();
  RefPtr<MPlaylist> playlist = player ? targets.DefaultPlaylist() : RefPtr<MPlaylist>();
  if (!player || !playlist) return false;

  Dispatch dispatch{targets, player.Get(), playlist.Get(), targets.AddFilesOptions()};
  TArray<TString> files;
  bool tookEffect = false;
  for (uint32_t i = first; i < tokens.Count(); ++i) {
    const TString& token = tokens[i];
    if (!IsSwitchToken(token)) {
      files.Append(token);
      continue;
    }
    const SwitchEntry* entry = FindSwitch(token.c_str() + 1);
    if (!entry) continue;
    const TString* argument = nullptr;
    if (entry->takesArgument && i + 1 < tokens.Count()) argument = &tokens[++i];
    if (entry->takesArgument && !argument && entry->what != Switch::kShuffle &&
        entry->what != Switch::kRepeat && entry->what != Switch::kInstallSkin) {
      continue;
    }
    if (dispatch.Run(entry->what, argument)) tookEffect = true;
  }
  if (files.IsEmpty()) return tookEffect;
  targets.QueueFiles(playlist.Get(), files, dispatch.flags);
  return true;
}

}  // namespace vk2::gui
