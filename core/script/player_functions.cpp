#include "core/script/player_functions.h"
#include "component/object/query.h"

#include <cmath>
#include <initializer_list>

#include "audio/common/media_errors.h"
#include "component/script/handler_call_args.h"
#include "core/script/callback_functions.h"
#include "core/script/handler_frame.h"
#include "core/script/item_struct.h"
#include "core/script/script_native_object.h"
#include "interfaces/audio/media_types.h"
#include "interfaces/core/player.h"
#include "interfaces/core/playlist.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

using Target = PlayerFunctionTarget;
constexpr uint8_t kPost = 1;
constexpr uint8_t kWait = 0;
// The largest volume a script may set: the player takes gains above 1.0 as amplification.
constexpr double kMaxVolume = 65536.0;

MErrorRegistry* CallErrors(const HandlerCall& call) {
  return HandlerTarget<Target>(call)->Errors();
}
MPlayer* CallPlayer(const HandlerCall& call) {
  return HandlerTarget<Target>(call)->Player();
}

int32_t Fail(HandlerCall& call, int32_t code, const char16_t* prefix = u"") {
  return ReportCode(call, CallErrors(call), code, prefix);
}

bool IsPlayerEntry(const HandlerCall& call, int32_t code,
                   std::initializer_list<PlayerError> benign) {
  for (PlayerError entry : benign) {
    if (IsErrorInCategory(CallErrors(call), code, static_cast<uint32_t>(entry),
                          kPlayerErrorTable)) {
      return true;
    }
  }
  return false;
}

// Finishes a transport command: success answers `done`, a benign failure an empty result.
int32_t Finish(HandlerCall& call, int32_t r, const char16_t* done,
               std::initializer_list<PlayerError> benign) {
  if (r >= 0) {
    SetResultText(call, TString(done));
    return kScriptDone;
  }
  return IsPlayerEntry(call, r, benign) ? kScriptDone : Fail(call, r);
}

bool AllScalars(const HandlerCall& call) {
  for (uint32_t i = 0; i < ArgCount(call); ++i) {
    if (!ArgIsScalar(call, i)) return false;
  }
  return true;
}

#define VK2_PLAYER_OR_RETURN(player)  \
  MPlayer* player = CallPlayer(call); \
  if (!player) return kScriptNoTarget

int32_t Play(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->Play(kPost), u"Playing", {PlayerError::kAlreadyPlaying});
}
int32_t Stop(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->Stop(kPost), u"Stopped", {PlayerError::kNotPlaying});
}
int32_t Pause(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->Pause(kWait), u"Paused",
                {PlayerError::kNotPlaying, PlayerError::kAlreadyPaused});
}
int32_t TogglePause(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  PlayerInfo info;
  const bool paused = player->GetInfo(&info) >= 0 && (info.state & kPlayerStateMask) == 2;
  const int32_t r = paused ? player->Play(kWait) : player->Pause(kWait);
  if (r < 0 && IsPlayerEntry(call, r, {PlayerError::kNotPlaying, PlayerError::kAlreadyPlaying})) {
    SetResultText(call, TString(u"PauseToggled"));
    return kScriptDone;
  }
  return Finish(call, r, u"PauseToggled", {});
}
int32_t Next(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->Next(kPost), u"Next", {PlayerError::kNoMoreSongs});
}
int32_t Previous(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->Previous(kPost), u"Prev", {PlayerError::kNoMoreSongs});
}

// SeekTo (id, optional time), SeekToUID (id) and SeekToIndex (index, optional time).
int32_t SeekToItem(HandlerCall& call) {
  const bool index = call.name.Equals(u"SeekToIndex", false);
  const uint32_t most = (index || call.name.Equals(u"seekto", false)) ? 2 : 1;
  const uint32_t count = ArgCount(call);
  uint32_t target = 0;
  double seconds = -1.0;
  if (count < 1 || count > most || !AllScalars(call) || !ReadIdText(ArgText(call, 0), &target) ||
      (count == 2 && !ReadNumberArg(ArgText(call, 1), &seconds))) {
    return kScriptBadArguments;
  }
  VK2_PLAYER_OR_RETURN(player);
  const int32_t r = index ? player->SeekToIndex(target, seconds, 1, 0, kPost)
                          : player->SeekToUID(target, seconds, 1, 0, kPost);
  return Finish(call, r, u"Seeked", {});
}

int32_t SeekToTime(HandlerCall& call) {
  const uint32_t count = ArgCount(call);
  double seconds = 0.0;
  bool exact = true;
  if (count < 1 || count > 2 || !AllScalars(call) || !ReadNumberArg(ArgText(call, 0), &seconds) ||
      (count == 2 && !ReadBoolText(ArgText(call, 1), &exact))) {
    return kScriptBadArguments;
  }
  VK2_PLAYER_OR_RETURN(player);
  const int32_t r = player->SeekToUID(0, seconds, exact ? 1 : 0, 0, kWait);
  if (r >= 0) {
    SetResultText(call, TString(u"Seeked"));
    return kScriptDone;
  }
  if (IsErrorInCategory(CallErrors(call), r, kMsCannotSeek, kMediaSystemTable)) return kScriptDone;
  return Fail(call, r, u"Failed - ");
}

int32_t Scan(HandlerCall& call) {
  constexpr const char16_t* kFormat = u"Db";
  double seconds = 0.0;
  bool exact = true;
  if (!HasRequiredArgs(call, kFormat) || UnpackScriptArgs(call, kFormat, &seconds, &exact) < 0 ||
      !std::isfinite(seconds)) {
    return kScriptBadArguments;
  }
  VK2_PLAYER_OR_RETURN(player);
  const int32_t r = player->Scan(seconds, exact ? 1 : 0, kPost);
  SetResultText(call, r >= 0 ? TString(u"Scanned")
                             : Joined({TString(u"Failed - "), ErrorText(CallErrors(call), r)}));
  return kScriptDone;
}

const char16_t* PlayStateName(uint32_t state) {
  switch (state & kPlayerStateMask) {
    case 2:
      return u"paused";
    case 1:
      return u"playing";
    default:
      return u"stopped";
  }
}

int32_t GetInfo(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  PlayerInfo info;
  const int32_t r = player->GetInfo(&info);
  if (r < 0) return Fail(call, r);
  if (info.currentId != 0) {
    ItemToScriptStruct(info.item, AppendArray(call.result, u"info"));
  }
  MScriptObject* state = AppendArray(call.result, u"playstate");
  AppendText(state, u"state", TString(PlayStateName(info.state)));
  AppendText(state, u"shuffled", TString(info.state & kPlayerShuffleFlag ? u"true" : u"false"));
  const uint32_t repeat = info.state & kPlayerRepeatMask;
  AppendText(state, u"repeat", TString(repeat == 8 ? u"all" : repeat == 0x10 ? u"one" : u"off"));
  AppendText(call.result, u"cursongid", FormatId(info.currentId));
  AppendText(call.result, u"numsongs", TString::Format(u"%d", static_cast<int32_t>(info.count)));
  AppendText(call.result, u"cursongindex",
             TString::Format(u"%d", static_cast<int32_t>(info.index)));
  AppendText(call.result, u"curplaytime", TString::Format(u"%g", info.time));
  return kScriptDone;
}

int32_t GetPlayProgress(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  double progress = 0.0;
  const int32_t r = player->GetPlayProgress(&progress);
  if (r < 0) {
    if (IsPlayerEntry(call, r, {PlayerError::kPlaylistEmpty})) return kScriptDone;
    return Fail(call, r, u"Unable to get play progress - ");
  }
  SetResultText(call, TString::Format(u"%g", progress));
  return kScriptDone;
}

int32_t GetShuffle(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  uint8_t shuffle = 0;
  const int32_t r = player->GetShuffle(&shuffle);
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString(shuffle ? u"true" : u"false"));
  return kScriptDone;
}

int32_t SetShuffle(HandlerCall& call) {
  bool shuffle = false;
  if (ArgCount(call) != 1 || !ArgIsScalar(call, 0) || !ReadBoolText(ArgText(call, 0), &shuffle)) {
    return kScriptBadArguments;
  }
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->SetShuffle(shuffle ? 1 : 0), u"set", {});
}

int32_t ToggleShuffle(HandlerCall& call) {
  VK2_PLAYER_OR_RETURN(player);
  uint8_t shuffle = 0;
  if (player->GetShuffle(&shuffle) >= 0) player->SetShuffle(shuffle ? 0 : 1);
  return kScriptDone;
}

int32_t GetRepeat(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  uint32_t mode = 0;
  const int32_t r = player->GetRepeat(&mode);
  if (r < 0) return Fail(call, r);
  constexpr const char16_t* kNames[] = {u"off", u"all", u"one"};
  SetResultText(call, TString(mode < 3 ? kNames[mode] : u"unknown"));
  return kScriptDone;
}

int32_t SetRepeat(HandlerCall& call) {
  if (ArgCount(call) != 1 || !ArgIsScalar(call, 0)) return kScriptBadArguments;
  const TString text = ArgText(call, 0);
  uint32_t mode;
  if (text.Equals(u"off", false)) {
    mode = kRepeatOff;
  } else if (text.Equals(u"one", false)) {
    mode = kRepeatOne;
  } else if (text.Equals(u"all", false)) {
    mode = kRepeatAll;
  } else {
    return ReportFailure(call, Joined({text, TString(u" -- unrecognised repeat format")}));
  }
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->SetRepeat(mode), u"set", {});
}

int32_t ToggleRepeat(HandlerCall& call) {
  VK2_PLAYER_OR_RETURN(player);
  uint32_t mode = 0;
  if (player->GetRepeat(&mode) >= 0)
    player->SetRepeat(mode == kRepeatOff   ? kRepeatAll
                      : mode == kRepeatAll ? kRepeatOne
                                           : kRepeatOff);
  return kScriptDone;
}

int32_t GetVolume(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  double volume = 0.0;
  const int32_t r = player->GetVolume(&volume);
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString::Format(u"%g", volume));
  return kScriptDone;
}

int32_t SetVolume(HandlerCall& call) {
  double volume = 0.0;
  // ReadNumberArg refuses "nan" and infinities: no comparison would keep them out.
  if (ArgCount(call) != 1 || !ArgIsScalar(call, 0) || !ReadNumberArg(ArgText(call, 0), &volume) ||
      volume < 0.0 || volume > kMaxVolume) {
    return kScriptBadArguments;
  }
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->SetVolume(volume), u"set", {});
}

int32_t GetPlaybackMethod(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  int32_t method = 0;
  double seconds = 0.0;
  const int32_t r = player->GetPlaybackMethod(&method, &seconds);
  if (r < 0) {
    return ReportFailure(call, Joined({TString(u"Unable to get playback method - "),
                                       ErrorText(CallErrors(call), r), TString(u".")}));
  }
  constexpr const char16_t* kNames[] = {u"normal", u"seamless", u"crossfade"};
  AppendText(call.result, u"method",
             TString(method >= 0 && method < 3 ? kNames[method] : u"unknown"));
  AppendText(call.result, u"transitiontime", TString::Format(u"%g", seconds));
  return kScriptDone;
}

int32_t SetPlaybackMethod(HandlerCall& call) {
  const uint32_t count = ArgCount(call);
  if (count < 1 || count > 2 || !AllScalars(call)) return kScriptBadArguments;
  const TString name = ArgText(call, 0);
  int32_t method;
  if (name.Equals(u"normal", false)) {
    method = 0;
    if (count != 1) return kScriptBadArguments;
  } else if (name.Equals(u"seamless", false)) {
    method = 1;
  } else if (name.Equals(u"crossfade", false)) {
    method = 2;
  } else {
    return ReportFailure(
        call, TString(u"Invalid playback method. Must be 'normal', 'seamless' or 'crossfade'."));
  }
  double seconds = -1.0;
  if (count == 2 && !ReadNumberArg(ArgText(call, 1), &seconds)) {
    return ReportFailure(call, TString(u"Transition time is not a valid floating point value."));
  }
  VK2_PLAYER_OR_RETURN(player);
  const int32_t r = player->SetPlaybackMethod(method, seconds);
  if (r < 0) {
    return ReportFailure(call, Joined({TString(u"Unable to set playback method - "),
                                       ErrorText(CallErrors(call), r), TString(u".")}));
  }
  SetResultText(call, TString(u"set"));
  return kScriptDone;
}

// The player's playlist with a reference, or null.
RefPtr<MPlaylist> CurrentPlaylist(MPlayer* player) {
  MPlaylist* playlist = nullptr;
  if (player->GetPlaylist(&playlist) < 0) return {};
  return RefPtr<MPlaylist>::Adopt(playlist);
}

int32_t GetPlaylistName(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  TString name(u"unknown");
  if (RefPtr<MPlaylist> playlist = CurrentPlaylist(player)) playlist->GetName(&name);
  SetResultText(call, name);
  return kScriptDone;
}

int32_t GetPlaylist(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  if (RefPtr<MPlaylist> playlist = CurrentPlaylist(player)) {
    if (RefPtr<MScriptObject> script = Query<MScriptObject>(playlist, kIID_MScriptObject)) {
      TString uid;
      script->GetUid(&uid);
      SetResultText(call, uid);
    }
  }
  return kScriptDone;
}

int32_t SetPlaylist(HandlerCall& call) {
  if (ArgCount(call) != 1 || !ArgIsScalar(call, 0)) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  const TString name = ArgText(call, 0);
  RefPtr<MPlaylist> playlist;
  if (HandlerTarget<Target>(call)->FindPlaylist(name, &playlist) < 0 || !playlist) {
    return ReportFailure(call, Joined({name, TString(u" -- playlist not found")}));
  }
  return Finish(call, player->SetPlaylist(playlist.Get()), u"set", {});
}

int32_t SendFilterMessage(HandlerCall& call) {
  if (ArgCount(call) != 1 || !ArgIsScalar(call, 0)) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  return Finish(call, player->SendFilterMessage(ArgText(call, 0).c_str(), 0), u"sent", {});
}

int32_t GetFileExtensions(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  VK2_PLAYER_OR_RETURN(player);
  MediaTypeList patterns;
  const int32_t r = player->GetFileExtensions(&patterns);
  if (r < 0) return Fail(call, r);
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetArraySize(0);
  for (uint32_t i = 0; i < patterns.Count(); ++i) {
    const TString& pattern = patterns.At(i).pattern;
    if (pattern.Length() >= 2 && pattern.Equals(u"*.", false, 2)) {
      AppendText(call.result, u"", pattern.Mid(2, -1));
    }
  }
  return kScriptDone;
}

#undef VK2_PLAYER_OR_RETURN

struct FunctionRow {
  const char16_t* name;
  const char16_t* help;
  ScriptHandler handler;
};

const FunctionRow kBeforeCallbacks[] = {
    {u"Play", u"If the player is paused or stopped, changes it into the playing state.", &Play},
    {u"Stop", u"If the player is playing or paused, changes it into the stopped state.", &Stop},
    {u"Pause", u"If the player is playing, changes it into the paused state.", &Pause},
    {u"TogglePause",
     u"If the player is playing, changes it into the paused state. If the player is paused, "
     u"changes it to the playing state",
     &TogglePause},
    {u"Next",
     u"Changes the currently playing item to the next one in the playlist (depending on if "
     u"shuffle is enabled or not). Does nothing if this is the last one.",
     &Next},
    {u"Previous",
     u"Changes the currently playing item to the previous one in the playlist (depending on if "
     u"shuffle is enabled or not). Does nothing if this is the first one.",
     &Previous},
    {u"SeekTo",
     u"Changes the currently playing item to the item specified, and optionally to the specified "
     u"time index",
     &SeekToItem},
    {u"SeekToUID", u"Changes the currently playing item to the playlist item UID specified",
     &SeekToItem},
    {u"SeekToIndex",
     u"Changes the currently playing item to the playlist index specified, and optionally to the "
     u"specified time index (in seconds)",
     &SeekToItem},
    {u"SeekToTime", u"Changes the currently playing item to the specified time index (in seconds)",
     &SeekToTime},
    {u"Scan",
     u"Moves the decode time in the current item forward or backwards by the amount of time "
     u"specified (in seconds)",
     &Scan},
    {u"GetInfo", u"Returns a structure of information about the current player state.", &GetInfo},
    {u"GetPlayProgress",
     u"Returns the estimated amount of time through the playlist that the player is currently at.",
     &GetPlayProgress},
    {u"GetShuffle", u"Returns whether or not shuffle play is currently enabled (boolean).",
     &GetShuffle},
    {u"SetShuffle", u"Sets whether or not shuffle play is currently enabled (boolean).",
     &SetShuffle},
    {u"ToggleShuffle", u"Toggles the shuffle to next shulffle state", &ToggleShuffle},
    {u"GetRepeat", u"Returns whether or not repeat play is currently enabled (enumeration).",
     &GetRepeat},
    {u"SetRepeat", u"Sets whether or not repeat play is currently enabled (enumeration).",
     &SetRepeat},
    {u"ToggleRepeat", u"Toggles the Repeat state.", &ToggleRepeat},
    {u"GetVolume", u"Returns the currently set playback volume (0.0-1.0).", &GetVolume},
    {u"SetVolume", u"Sets the playback volume (0.0-1.0).", &SetVolume},
    {u"GetPlaybackMethod",
     u"Returns an array of the current playback method, e.g. { method: \"crossfade\", "
     u"transitiontime: 5 }",
     &GetPlaybackMethod},
    {u"SetPlaybackMethod",
     u"Sets the playback method - 'normal', 'seamless', or 'crossfade'. For 'seamless', an "
     u"optional second argument specifies the pause between tracks. For 'crossfade', an optional "
     u"second argument specifies the cross-fade time.",
     &SetPlaybackMethod},
};

const FunctionRow kAfterCallbacks[] = {
    {u"GetPlaylistName",
     u"Returns the name of the playlist that this player is currently attached to.",
     &GetPlaylistName},
    {u"GetPlaylist", u"Returns the object playlist that this player is currently attached to.",
     &GetPlaylist},
    {u"SetPlaylist",
     u"Changes the playlist that the player is currently attached to to the one by this name.",
     &SetPlaylist},
    {u"SendFilterMessage",
     u"Sends a message to a filter that is currently being used to play the current item. Filter "
     u"specific. Ignored if that filter is not being used.",
     &SendFilterMessage},
    {u"GetFileExtensions",
     u"Retrieves an array of the file extensions which the player believes it can play.",
     &GetFileExtensions},
};

}  // namespace

void RegisterPlayerFunctions(MScriptObject* script, ScriptBindingTable* table,
                             PlayerFunctionTarget* target) {
  for (const FunctionRow& row : kBeforeCallbacks)
    AddScriptFunction(script, row.name, row.help, row.handler, target);
  RegisterCallbackFunctions(script, table, u"Register for a callback when a player event occurs.",
                            u"Unregister for a callback when a player event occurs.");
  for (const FunctionRow& row : kAfterCallbacks)
    AddScriptFunction(script, row.name, row.help, row.handler, target);
}

}  // namespace vk2
