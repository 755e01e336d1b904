#include "core/script/container_functions.h"

#include "component/script/handler_call_args.h"
#include "core/script/handler_frame.h"
#include "interfaces/core/playlist.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

using Target = ContainerFunctionTarget;
constexpr uintptr_t kRemove = 0;
constexpr uintptr_t kAdd = 1;

int32_t Fail(HandlerCall& call, int32_t code, const char16_t* prefix) {
  return ReportCode(call, HandlerTarget<Target>(call)->Errors(), code, prefix);
}

int32_t AddRemove(HandlerCall& call) {
  TString name;
  if (!HasRequiredArgs(call, u"W") || UnpackScriptArgs(call, u"W", &name) < 0) {
    return kScriptBadArguments;
  }
  const int32_t r = HandlerTarget<Target>(call)->AddRemove(name, call.handlerTag == kAdd ? 1 : 0);
  if (r < 0) return Fail(call, r, u"Core::Player or Playlist::Manipilate failed - ");
  SetResultText(call, TString(u"done"));
  return kScriptDone;
}

int32_t Rename(HandlerCall& call) {
  TString oldName, newName;
  if (!HasRequiredArgs(call, u"WW") || UnpackScriptArgs(call, u"WW", &oldName, &newName) < 0) {
    return kScriptBadArguments;
  }
  const int32_t r = HandlerTarget<Target>(call)->Rename(oldName, newName);
  if (r < 0) return Fail(call, r, u"Core::Player/Playlist::Rename failed - ");
  SetResultText(call, TString(u"renamed"));
  return kScriptDone;
}

int32_t GetList(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  std::vector<TString> names;
  const int32_t r = HandlerTarget<Target>(call)->ListNames(&names);
  if (r < 0) return Fail(call, r, u"Core::Player/Playlist::GetList failed - ");
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetArraySize(0);
  for (const TString& name : names)
    AppendText(call.result, u"", name);
  return kScriptDone;
}

int32_t MakeTemp(HandlerCall& call) {
  TString base;
  if (!HasRequiredArgs(call, u"W") || UnpackScriptArgs(call, u"W", &base) < 0) {
    return kScriptBadArguments;
  }
  TString name;
  const int32_t r = HandlerTarget<Target>(call)->MakeTemporaryName(base, &name);
  if (r < 0) return Fail(call, r, u"Core::Player/Playlist::MakeTemp failed - ");
  SetResultText(call, name);
  return kScriptDone;
}

int32_t CombinePlaylists(HandlerCall& call) {
  TString targetName, sourceName;
  bool append = true;
  if (!HasRequiredArgs(call, u"WWb") ||
      UnpackScriptArgs(call, u"WWb", &targetName, &sourceName, &append) < 0) {
    return kScriptBadArguments;
  }
  MPlaylistManager* manager = HandlerTarget<Target>(call)->Playlists();
  if (!manager) return kScriptNoTarget;
  RefPtr<MPlaylist> target, source;
  int32_t r = manager->Find(targetName, &target);
  if (r >= 0) r = manager->Find(sourceName, &source);
  if (r < 0) return Fail(call, r, u"");
  // A playlist combined with itself: appending repeats its items, replacing keeps them; the
  // playlist's copy reads its source before it changes anything, so neither loses an item.
  uint32_t key = 0;
  const bool locked = source.Get() != target.Get() && source->Lock(&key) >= 0;
  r = target->CopyFrom(source.Get(), append ? 1 : 0);
  if (locked) source->Unlock(key);
  if (r < 0) return Fail(call, r, u"");
  SetResultText(call, TString(u"combined"));
  return kScriptDone;
}

int32_t SetIdleScan(HandlerCall& call) {
  TString type;
  bool immediately = false;
  if (!HasRequiredArgs(call, u"WB") || UnpackScriptArgs(call, u"WB", &type, &immediately) < 0) {
    return kScriptBadArguments;
  }
  MPlaylistManager* manager = HandlerTarget<Target>(call)->Playlists();
  if (!manager) return kScriptNoTarget;
  if (type.Equals(u"quick", false)) {
    manager->SetIdleScan(IdleScanMode::kQuick, immediately ? 1 : 0);
  } else if (type.Equals(u"thorough", false)) {
    manager->SetIdleScan(IdleScanMode::kThorough, immediately ? 1 : 0);
  } else if (type.Equals(u"none", false)) {
    // No automatic scans: quick mode that never starts by itself.
    manager->SetIdleScan(IdleScanMode::kQuick, 0);
  } else {
    return ReportFailure(call,
                         TString(u"Valid idle scan types are 'none', 'quick' or 'thorough'."));
  }
  SetResultText(call, TString(u"set"));
  return kScriptDone;
}

void Add(MScriptObject* script, const char16_t* name, const char16_t* help, ScriptHandler handler,
         Target* target, uintptr_t tag = 0) {
  AddScriptFunction(script, name, help, handler, target, tag);
}

}  // namespace

void RegisterContainerFunctions(MScriptObject* script, ContainerFunctionTarget* target,
                                bool playlists) {
  if (playlists) {
    Add(script, u"AddPlaylist", u"Add a playlist", &AddRemove, target, kAdd);
    Add(script, u"RemovePlaylist", u"Remove a playlist", &AddRemove, target, kRemove);
    Add(script, u"RenamePlaylist", u"Rename a playlist", &Rename, target);
    Add(script, u"GetPlaylistList", u"Retrieve a list of playlists", &GetList, target);
    Add(script, u"MakeTempPlaylist", u"Create a temporary playlist", &MakeTemp, target);
    Add(script, u"CombinePlaylists", u"Merge playlists", &CombinePlaylists, target);
    Add(script, u"SetIdleScan",
        u"Configures the playlist idle scan. One parameter: 'none', 'quick' or 'thorough'",
        &SetIdleScan, target);
  } else {
    Add(script, u"AddPlayer", u"Add a player", &AddRemove, target, kAdd);
    Add(script, u"RemovePlayer", u"Remove a player", &AddRemove, target, kRemove);
    Add(script, u"RenamePlayer", u"Rename a player", &Rename, target);
    Add(script, u"GetPlayerList", u"Retrieve a list of players", &GetList, target);
    Add(script, u"MakeTempPlayer", u"Create a temporary player", &MakeTemp, target);
  }
}

}  // namespace vk2
