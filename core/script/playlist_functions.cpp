#include "core/script/playlist_functions.h"

#include "component/script/handler_call_args.h"
#include "core/script/callback_functions.h"
#include "core/script/handler_frame.h"
#include "core/script/item_struct.h"
#include "core/script/script_native_object.h"
#include "interfaces/core/playlist.h"
#include "interfaces/runtime/error_tables.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

using Target = PlaylistFunctionTarget;

// The playlist of the call, or null (the call then fails without a message: the object was
// never attached).
MPlaylist* CallPlaylist(const HandlerCall& call) {
  return HandlerTarget<Target>(call)->Playlist();
}
MErrorRegistry* CallErrors(const HandlerCall& call) {
  return HandlerTarget<Target>(call)->Errors();
}

bool IsBenign(const HandlerCall& call, int32_t code) {
  return IsErrorInCategory(CallErrors(call), code, kBasicErrorNotFound, kBasicErrorsTable);
}

int32_t Fail(HandlerCall& call, int32_t code, const char16_t* prefix = u"") {
  return ReportCode(call, CallErrors(call), code, prefix);
}

// "top", "bottom" (any case) or an item id.
bool ReadPosition(const TString& text, uint32_t* afterId) {
  if (text.Equals(u"top", false)) {
    *afterId = kPlaylistTop;
    return true;
  }
  if (text.Equals(u"bottom", false)) {
    *afterId = kPlaylistBottom;
    return true;
  }
  return ReadIdText(text, afterId);
}

// One record from a scalar (its URL) or a structure.
ItemInfo ItemFromArgument(MScriptObject* argument) {
  ItemInfo record;
  ScriptDataEntity* data = AsDataEntity(argument);
  if (data && data->IsArray()) {
    ItemFromScriptStruct(record, argument);
  } else if (data) {
    TString url;
    data->GetValue(&url);
    record.SetUrl(url);
  }
  return record;
}

// The ids of an argument that is one id or an array of ids; false when any is unreadable.
bool ReadIdList(const HandlerCall& call, uint32_t index, TArray<uint32_t>* ids) {
  ScriptDataEntity* data = AsDataEntity(ArgAt(call, index));
  if (!data) return false;
  if (!data->IsArray()) {
    uint32_t id = 0;
    return ReadIdText(ArgText(call, index), &id) && ids->Append(id);
  }
  for (uint32_t i = 0; i < data->ArraySize(); ++i) {
    ScriptDataEntity* element = AsDataEntity(data->GetAt(i));
    if (!element || element->IsArray()) return false;
    TString text;
    element->GetValue(&text);
    uint32_t id = 0;
    if (!ReadIdText(text, &id)) return false;
    ids->Append(id);
  }
  return true;
}

// Exactly `count` scalar arguments.
bool HasScalars(const HandlerCall& call, uint32_t count) {
  if (ArgCount(call) != count) return false;
  for (uint32_t i = 0; i < count; ++i) {
    if (!ArgIsScalar(call, i)) return false;
  }
  return true;
}

// One scalar argument read as an id (or index, key, revision).
bool ReadOneId(const HandlerCall& call, uint32_t* value) {
  return HasScalars(call, 1) && ReadIdText(ArgText(call, 0), value);
}

void AppendIds(MScriptObject* list, const TArray<uint32_t>& ids) {
  for (uint32_t i = 0; i < ids.Count(); ++i)
    AppendText(list, u"", FormatId(ids[i]));
}

// Runs a playlist operation that takes no arguments and answers `done` on success.
template <int32_t (MPlaylist::*Operation)()>
int32_t Simple(HandlerCall& call, const char16_t* done) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  const int32_t r = (playlist->*Operation)();
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString(done));
  return kScriptDone;
}

int32_t AddItem(HandlerCall& call) {
  const uint32_t count = ArgCount(call);
  if (count < 1 || count > 2 || (count == 2 && !ArgIsScalar(call, 1))) {
    return kScriptBadArguments;
  }
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  uint32_t afterId = kPlaylistBottom;
  if (count == 2 && !ReadPosition(ArgText(call, 1), &afterId)) {
    return ReportFailure(call, TString(u"unrecognised ID format"));
  }
  uint32_t id = 0;
  const int32_t r = AddOneItem(playlist, ItemFromArgument(ArgAt(call, 0)), afterId, &id);
  if (r < 0) return Fail(call, r);
  SetResultText(call, FormatId(id));
  return kScriptDone;
}

int32_t AddItems(HandlerCall& call) {
  const uint32_t count = ArgCount(call);
  if (count < 1 || count > 2 || ArgIsScalar(call, 0)) return kScriptBadArguments;
  ScriptDataEntity* items = AsDataEntity(ArgAt(call, 0));
  if (!items || !items->IsArray()) return kScriptBadArguments;
  uint32_t afterId = kPlaylistBottom;
  if (count == 2 && (!ArgIsScalar(call, 1) || !ReadPosition(ArgText(call, 1), &afterId))) {
    return kScriptBadArguments;
  }
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  TArray<ItemInfo> records;
  for (uint32_t i = 0; i < items->ArraySize(); ++i)
    records.Append(ItemFromArgument(items->GetAt(i)));
  TArray<uint32_t> ids;
  const int32_t r =
      playlist->AddItems(records.Count() ? &records[0] : nullptr, records.Count(), afterId, &ids);
  if (r < 0) return Fail(call, r);
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetArraySize(0);
  AppendIds(call.result, ids);
  return kScriptDone;
}

int32_t RemoveItems(HandlerCall& call) {
  TArray<uint32_t> ids;
  if (ArgCount(call) != 1 || !ReadIdList(call, 0, &ids)) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  const int32_t r = playlist->RemoveItems(ids.Count() ? &ids[0] : nullptr, ids.Count());
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString(u"removed"));
  return kScriptDone;
}

int32_t MoveItems(HandlerCall& call) {
  TArray<uint32_t> ids;
  uint32_t afterId = 0;
  if (ArgCount(call) != 2 || !ReadIdList(call, 0, &ids) || !ArgIsScalar(call, 1) ||
      !ReadIdText(ArgText(call, 1), &afterId)) {
    return kScriptBadArguments;
  }
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  const int32_t r = playlist->MoveItems(ids.Count() ? &ids[0] : nullptr, ids.Count(), afterId);
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString(u"moved"));
  return kScriptDone;
}

int32_t RemoveAll(HandlerCall& call) {
  return Simple<&MPlaylist::RemoveAll>(call, u"removed");
}
int32_t Reshuffle(HandlerCall& call) {
  return Simple<&MPlaylist::Reshuffle>(call, u"reshuffled");
}
int32_t RandomizeList(HandlerCall& call) {
  return Simple<&MPlaylist::RandomizeList>(call, u"randomized");
}
int32_t Reverse(HandlerCall& call) {
  return Simple<&MPlaylist::Reverse>(call, u"reversed");
}

// GetFirstUID (shuffled), GetNextUID and GetPrevUID (id, shuffled).
int32_t WalkUid(HandlerCall& call) {
  const bool first = call.name.Equals(u"GetFirstUID");
  const uint32_t wanted = first ? 1 : 2;
  if (!HasScalars(call, wanted)) return kScriptBadArguments;
  uint32_t from = 0;
  bool shuffled = false;
  if ((!first && !ReadIdText(ArgText(call, 0), &from)) ||
      !ReadBoolText(ArgText(call, wanted - 1), &shuffled)) {
    return kScriptBadArguments;
  }
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  uint32_t id = 0;
  int32_t r;
  if (first) {
    r = playlist->GetFirstUID(&id, shuffled);
  } else if (call.name.Equals(u"GetNextUID")) {
    r = playlist->GetNextUID(from, &id, shuffled);
  } else {
    r = playlist->GetPrevUID(from, &id, shuffled);
  }
  if (r < 0) return Fail(call, r);
  SetResultText(call, FormatId(id));
  return kScriptDone;
}

int32_t Sort(HandlerCall& call) {
  constexpr const char16_t* kFormat = u"WW";
  TString key, direction;
  if (!HasRequiredArgs(call, kFormat) || UnpackScriptArgs(call, kFormat, &key, &direction) < 0) {
    return kScriptBadArguments;
  }
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  PlaylistSortKey kind = PlaylistSortKey::kToken;
  if (key.Equals(u"title", false)) kind = PlaylistSortKey::kTitle;
  if (key.Equals(u"author", false)) kind = PlaylistSortKey::kAuthor;
  uint8_t forwards;
  if (direction.Equals(u"forwards", false)) {
    forwards = 1;
  } else if (direction.Equals(u"reverse", false)) {
    forwards = 0;
  } else {
    return ReportFailure(call, Joined({direction, TString(u" -- unknown sort direction")}));
  }
  const int32_t r = playlist->Sort(kind, forwards, key);
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString(u"sorted"));
  return kScriptDone;
}

int32_t Lock(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  uint32_t key = 0;
  const int32_t r = playlist->Lock(&key);
  if (r < 0) return Fail(call, r);
  SetResultText(call, FormatId(key));
  return kScriptDone;
}

int32_t Unlock(HandlerCall& call) {
  uint32_t key = 0;
  if (!ReadOneId(call, &key)) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  const bool update = call.name.Equals(u"UpdateLock");
  const int32_t r = update ? playlist->UpdateLock(key) : playlist->Unlock(key);
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString(update ? u"updated" : u"unlocked"));
  return kScriptDone;
}

int32_t GetCurrentVersion(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  SetResultText(call, TString::Format(u"%d", static_cast<int32_t>(playlist->GetCurrentVersion())));
  return kScriptDone;
}

int32_t GetCurrentList(HandlerCall& call) {
  const bool changes = call.name.Equals(u"GetChangeList");
  uint32_t since = 0;
  if (changes ? !ReadOneId(call, &since) : ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  TArray<uint32_t> ids;
  uint32_t revision = 0;
  uint8_t orderChanged = 0;
  const int32_t r = changes ? playlist->GetChangeList(&ids, &orderChanged, since, &revision)
                            : playlist->GetCurrentList(&ids, &revision);
  if (r < 0) return Fail(call, r);
  AppendIds(AppendArray(call.result, u"ids"), ids);
  AppendText(call.result, u"version", TString::Format(u"%u", revision));
  if (changes) {
    AppendText(call.result, u"order_changed", TString(orderChanged ? u"true" : u"false"));
  }
  return kScriptDone;
}

int32_t GetCount(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  const int32_t r = playlist->GetCount();
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString::Format(u"%u", static_cast<uint32_t>(r)));
  return kScriptDone;
}

int32_t GetUIDIndex(HandlerCall& call) {
  uint32_t id = 0;
  if (!ReadOneId(call, &id)) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  const int32_t r = playlist->GetUIDIndex(id);
  if (r < 0) return Fail(call, r);
  SetResultText(call, TString::Format(u"%d", r));
  return kScriptDone;
}

int32_t GetUIDAtIndex(HandlerCall& call) {
  uint32_t index = 0;
  if (!ReadOneId(call, &index)) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  uint32_t id = 0;
  const int32_t r = playlist->GetUIDAtIndex(static_cast<int32_t>(index), &id);
  if (r < 0) return IsBenign(call, r) ? kScriptDone : Fail(call, r);
  SetResultText(call, FormatId(id));
  return kScriptDone;
}

int32_t GetUIDForURL(HandlerCall& call) {
  if (!HasScalars(call, 1)) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  uint32_t id = 0;
  const int32_t r = playlist->GetUIDForURL(ArgText(call, 0), &id);
  if (r < 0) {
    return IsBenign(call, r) ? kScriptDone : Fail(call, r, u"Playlist::GetUIDForURL failed - ");
  }
  SetResultText(call, FormatId(id));
  return kScriptDone;
}

int32_t GetTotalPlayTime(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  double seconds = 0.0;
  uint32_t kind = 0;
  const int32_t r = playlist->GetTotalPlayTime(&seconds, &kind);
  if (r < 0) return Fail(call, r, u"Unable to get total play time - ");
  AppendText(call.result, u"time", TString::Format(u"%g", seconds));
  AppendText(call.result, u"type", DurationTypeName(kind));
  return kScriptDone;
}

int32_t GetSongAt(HandlerCall& call) {
  const bool percent = call.name.Equals(u"GetSongAtPercent");
  double value = 0.0;
  if (!HasScalars(call, 1) || !ReadNumberArg(ArgText(call, 0), &value)) {
    return kScriptBadArguments;
  }
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  const char16_t* prefix =
      percent ? u"Unable to get song at percent - " : u"Unable to get song at time - ";
  uint32_t id = 0;
  int32_t r = playlist->GetSongAtTime(value, percent ? 1 : 0, &id);
  ItemInfo record;
  if (r >= 0) r = playlist->GetUIDInfo(id, &record);
  if (r < 0) return Fail(call, r, prefix);
  ItemToScriptStruct(record, call.result);
  return kScriptDone;
}

int32_t GetUIDInfo(HandlerCall& call) {
  TArray<uint32_t> ids;
  if (ArgCount(call) != 1 || !ReadIdList(call, 0, &ids)) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  TArray<ItemInfo> records;
  records.Resize(static_cast<int32_t>(ids.Count()));
  for (uint32_t i = 0; i < ids.Count(); ++i) {
    records[i].id = ids[i];
    records[i].Set(kIdPresent);
  }
  const int32_t r = playlist->GetItemsInfo(records.Count() ? &records[0] : nullptr, ids.Count());
  if (r < 0) {
    return ReportFailure(call,
                         Joined({ArgText(call, 0), TString(u" -- no such entry in playlist")}));
  }
  if (ArgIsScalar(call, 0)) {
    ItemToScriptStruct(records[0], call.result);
    return kScriptDone;
  }
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetArraySize(0);
  for (uint32_t i = 0; i < records.Count(); ++i) {
    RefPtr<MScriptObject> item = NewDataItem();
    if (!item) continue;
    ItemToScriptStruct(records[i], item.Get());
    if (ScriptDataEntity* result = AsDataEntity(call.result)) result->Append(item.Get());
  }
  return kScriptDone;
}

int32_t GetTokenList(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  TArray<PlaylistTokenCount> tokens;
  const int32_t r = playlist->GetTokenList(&tokens);
  if (r < 0) return Fail(call, r);
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetArraySize(0);
  for (uint32_t i = 0; i < tokens.Count(); ++i) {
    RefPtr<MScriptObject> item = NewDataItem();
    if (!item) continue;
    AppendText(item.Get(), u"name", tokens[i].name);
    AppendText(item.Get(), u"count", TString::Format(u"%u", tokens[i].count));
    if (ScriptDataEntity* result = AsDataEntity(call.result)) result->Append(item.Get());
  }
  return kScriptDone;
}

int32_t SetIdleScan(HandlerCall& call) {
  constexpr const char16_t* kFormat = u"WB";
  TString type;
  bool immediately = false;
  if (!HasRequiredArgs(call, kFormat) || UnpackScriptArgs(call, kFormat, &type, &immediately) < 0) {
    return kScriptBadArguments;
  }
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  if (type.Equals(u"quick", false) || type.Equals(u"thorough", false)) {
    const IdleScanMode mode =
        type.Equals(u"quick", false) ? IdleScanMode::kQuick : IdleScanMode::kThorough;
    playlist->SetIdleScan(mode, immediately ? 1 : 0);
  } else if (type.Equals(u"none", false)) {
    // No scanning: new items no longer start one and a running one stops.
    playlist->SetIdleScan(IdleScanMode::kQuick, 0);
    playlist->StopIdleScan();
  } else {
    return ReportFailure(call,
                         TString(u"Valid idle scan types are 'none', 'quick' or 'thorough'."));
  }
  SetResultText(call, TString(u"set"));
  return kScriptDone;
}

int32_t StartStopIdleScan(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  if (call.name.Equals(u"StartIdleScan")) {
    playlist->StartIdleScan();
  } else {
    playlist->StopIdleScan();
  }
  return kScriptDone;
}

int32_t CurrentlyIdleScanning(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  MPlaylist* playlist = CallPlaylist(call);
  if (!playlist) return kScriptNoTarget;
  SetResultText(call, TString(playlist->CurrentlyIdleScanning() ? u"true" : u"false"));
  return kScriptDone;
}

struct FunctionRow {
  const char16_t* name;
  const char16_t* help;
  ScriptHandler handler;
};

const FunctionRow kBeforeCallbacks[] = {
    {u"AddItem", u"Add an item to the playlist", &AddItem},
    {u"AddItems", u"Add some items to the playlist", &AddItems},
    {u"RemoveItems", u"Remove an item, or an array of items, from the playlist", &RemoveItems},
    {u"MoveItem", u"Move an item within the playlist", &MoveItems},
    {u"MoveItems", u"Move items within the playlist", &MoveItems},
    {u"RemoveAll", u"Remove all items from the playlist", &RemoveAll},
    {u"GetFirstUID", u"Get the UID of the first item in the playlist", &WalkUid},
    {u"GetNextUID", u"Get the UID of the next item in the playlist", &WalkUid},
    {u"GetPrevUID", u"Get the UID of the previous item in the playlist", &WalkUid},
    {u"Reshuffle", u"Reshuffle the playlist.", &Reshuffle},
    {u"Sort", u"Sort the playlist in asceneding order.", &Sort},
    {u"RandomizeList", u"Randomizes the list", &RandomizeList},
    {u"Reverse", u"Reverse the order of the playlist", &Reverse},
    {u"Lock", u"Locks the playlist", &Lock},
    {u"Unlock", u"Unlocks the playlist", &Unlock},
    {u"UpdateLock",
     u"Indicates that you still have a hold on the playlist lock; if you spend too long locked "
     u"without calling this function you may lose your lock.",
     &Unlock},
    {u"GetCurrentVersion",
     u"Returns the current revision number of the playlist. This number increments whenever the "
     u"playlist changes.",
     &GetCurrentVersion},
    {u"GetCurrentList", u"Returns a list of IDs representing the current contents of the playlist.",
     &GetCurrentList},
    {u"GetChangeList",
     u"Returns a list of what has changed in the playlist since the revision number specified.",
     &GetCurrentList},
    {u"GetCount", u"Returns the count of the items in the playlist.", &GetCount},
    {u"GetUIDIndex", u"Returns the index of the specified ID in the playlist.", &GetUIDIndex},
    {u"GetUIDAtIndex", u"Returns the ID at the specified index in the playlist.", &GetUIDAtIndex},
    {u"GetUIDForURL",
     u"Returns the ID of a playlist entry which has a URL matching the one specified.",
     &GetUIDForURL},
    {u"GetTotalPlayTime", u"Returns the total estimated time of the whole playlist.",
     &GetTotalPlayTime},
    {u"GetSongAtTime",
     u"Returns the estimated ID of the song at the time specified in the playlist.", &GetSongAt},
    {u"GetSongAtPercent",
     u"Returns the estimated ID of the song at the proportion specified in the playlist (0.0 to "
     u"1.0).",
     &GetSongAt},
    {u"GetUIDInfo", u"Returns a structure describing the playlist entry with the supplied ID.",
     &GetUIDInfo},
    {u"GetTokenList",
     u"Returns a list of tokens; the union of all tokens used by all items in the playlist.",
     &GetTokenList},
};

const FunctionRow kAfterCallbacks[] = {
    {u"SetIdleScan", u"Sets the idle scan type and whether it runs immediately on new items.",
     &SetIdleScan},
    {u"StartIdleScan",
     u"Forces the idle scan to start if it's not configured to start immediately.",
     &StartStopIdleScan},
    {u"StopIdleScan", u"Forces the idle scan to stop.", &StartStopIdleScan},
    {u"CurrentlyIdleScanning", u"Returns whether an idle scan is in progress or not.",
     &CurrentlyIdleScanning},
};

}  // namespace

void RegisterPlaylistFunctions(MScriptObject* script, ScriptBindingTable* table,
                               PlaylistFunctionTarget* target) {
  for (const FunctionRow& row : kBeforeCallbacks)
    AddScriptFunction(script, row.name, row.help, row.handler, target);
  RegisterCallbackFunctions(script, table,
                            u"Registers for a callback when a playlist event occurs.",
                            u"Unregisters your callback registered with RegisterCallback.");
  for (const FunctionRow& row : kAfterCallbacks)
    AddScriptFunction(script, row.name, row.help, row.handler, target);
}

}  // namespace vk2
