#include "core/script/player_helper_object.h"

#include "component/module/runtime_loader.h"
#include "component/script/handler_call_args.h"
#include "core/script/display_template.h"
#include "core/script/handler_frame.h"
#include "interfaces/core/playlist.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

constexpr char16_t kSection[] = u"PlayerHelper";

struct TemplateOption {
  const char16_t* key;
  const char16_t* member;
  TString (*fallback)();
};
const TemplateOption kOptions[] = {
    {u"DisplayFormat", u"DefaultDisplayFormat", &DefaultDisplayTemplate},
    {u"TimeFormat", u"DefaultTimeFormat", &DefaultTimeTemplate},
    {u"TotalTimeFormat", u"DefaultTotalTimeFormat", &DefaultTotalTimeTemplate},
};

PlayerHelperObject* Helper(const HandlerCall& call) {
  return HandlerTarget<PlayerHelperObject>(call);
}

// The player named by the first of `expected + 1` arguments, or "default" with `expected`;
// its state in `info`. kScriptDone, or the handler's answer when the lookup failed.
int32_t QueryPlayerByName(HandlerCall& call, uint32_t expected, PlayerInfo* info) {
  const uint32_t count = ArgCount(call);
  if (count != expected && count != expected + 1) return kScriptBadArguments;
  TString name(u"default");
  if (count == expected + 1) {
    if (!ArgIsScalar(call, 0)) return kScriptBadArguments;
    name = ArgText(call, 0);
  }
  PlayerHelperObject* helper = Helper(call);
  if (!helper->Core()) return kScriptNoTarget;
  RefPtr<MPlayer> player;
  const int32_t r = helper->Core()->GetPlayerManager()->Find(name, &player);
  if (r < 0 || !player) {
    ReportCode(call, helper->Errors(), r, u"Unable to query player - ");
    return kScriptNoTarget;
  }
  return player->GetInfo(info) < 0 ? kScriptNoTarget : kScriptDone;
}

int32_t GetDisplayString(HandlerCall& call) {
  PlayerInfo info;
  TString text;
  // One argument is the template; with two the first names the player, as the help says.
  const uint32_t count = ArgCount(call);
  const int32_t r = QueryPlayerByName(call, count == 0 ? 0 : 1, &info);
  if (r != kScriptDone) return r;
  const TString pattern =
      count == 0 ? Helper(call)->Template(u"DefaultDisplayFormat", DefaultDisplayTemplate())
                 : ArgText(call, count - 1);
  const bool ok = ExpandTemplate(
      pattern, [&](const TString& field) { return ResolveSongField(info, field); }, &text);
  if (!ok)
    return ReportFailure(call, TString(u"Unable to form song display string - format invalid"));
  SetResultText(call, text);
  return kScriptDone;
}

int32_t GetTimeString(HandlerCall& call) {
  PlayerInfo info;
  const uint32_t count = ArgCount(call);
  // (template, kind), each optional, or (player, template, kind).
  const int32_t r = QueryPlayerByName(call, count == 3 ? 2 : count, &info);
  if (r != kScriptDone) return r;
  const uint32_t first = count == 3 ? 1 : 0;
  TString pattern = ArgText(call, first), kind = ArgText(call, first + 1);
  if (pattern.IsEmpty())
    pattern = Helper(call)->Template(u"DefaultTimeFormat", DefaultTimeTemplate());
  TimeContext time;
  const bool stopped = (info.state & kPlayerStateMask) == 0;
  const bool hasDuration = !stopped && info.currentId != 0 && info.item.Has(kDurationPresent);
  if (kind.Equals(u"timeremaining", false)) {
    time.seconds = hasDuration ? info.item.duration - info.time : 0.0;
    time.classChar = kTimeRemainingChar;
  } else if (kind.Equals(u"totaltime", false)) {
    time.seconds = hasDuration ? info.item.duration : 0.0;
    time.classChar = kTotalTimeChar;
  } else {
    time.seconds = stopped ? 0.0 : info.time;
  }
  TString text;
  if (!ExpandTemplate(
          pattern, [&](const TString& f) { return ResolveTimeField(time, f); }, &text)) {
    return ReportFailure(call, TString(u"Unable to form time display string - format invalid"));
  }
  SetResultText(call, text);
  return kScriptDone;
}

int32_t GetTrackString(HandlerCall& call) {
  PlayerInfo info;
  const int32_t r = QueryPlayerByName(call, 0, &info);
  if (r != kScriptDone) return r;
  SetResultText(
      call, TString::Format(u"%03d", info.count == 0 ? 0 : static_cast<int32_t>(info.index + 1)));
  return kScriptDone;
}

int32_t GetTotalTimeString(HandlerCall& call) {
  TString name(u"default"), pattern;
  if (UnpackScriptArgs(call, u"ww", &name, &pattern) < 0) return kScriptBadArguments;
  PlayerHelperObject* helper = Helper(call);
  if (!helper->Core()) return kScriptNoTarget;
  if (pattern.IsEmpty()) {
    pattern = helper->Template(u"DefaultTotalTimeFormat", DefaultTotalTimeTemplate());
  }
  RefPtr<MPlaylist> playlist;
  int32_t r = helper->Core()->GetPlaylistManager()->Find(name, &playlist);
  if (r < 0 || !playlist)
    return ReportCode(call, helper->Errors(), r, u"Unable to query playlist - ");
  TimeContext time;
  time.classChar = kTimeRemainingChar;
  r = playlist->GetTotalPlayTime(&time.seconds, &time.durationKind);
  if (r < 0)
    return ReportCode(call, helper->Errors(), r, u"Unable to query playlist total time - ");
  TString text;
  if (!ExpandTemplate(
          pattern, [&](const TString& f) { return ResolveTimeField(time, f); }, &text)) {
    return ReportFailure(call,
                         TString(u"Unable to form total time display string - format invalid"));
  }
  SetResultText(call, text);
  return kScriptDone;
}

}  // namespace

RefPtr<MPlayerHelper> PlayerHelperObject::Create() {
  RefPtr<PlayerHelperObject> helper(new PlayerHelperObject);
  if (!helper->AttachScriptObject(TString(u"player"), TString(u"Script Player Helper Object"))) {
    return {};
  }
  helper->AddFunction(u"GetDisplayString",
                      u"Get a string representing the currently playing file's name. The first "
                      u"argument is the name of the player to query.",
                      &GetDisplayString, helper.Get());
  helper->AddFunction(u"GetTimeString",
                      u"Get a string representing the progress in the currently playing file. The "
                      u"first argument is the name of the player to query.",
                      &GetTimeString, helper.Get());
  helper->AddFunction(u"GetTrackString",
                      u"Get a string representing the progress in the currently playlist. The "
                      u"first argument is the name of the playlist to query.",
                      &GetTrackString, helper.Get());
  helper->AddFunction(u"GetTotalTimeString",
                      u"Get a string representing the total time of all entries in the playlist. "
                      u"The first argument is the name of the playlist to query.",
                      &GetTotalTimeString, helper.Get());
  return RefPtr<MPlayerHelper>(static_cast<MPlayerHelper*>(helper.Get()));
}

PlayerHelperObject::PlayerHelperObject()
    : preferences_(CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore)),
      errors_(MakeErrorRegistry()) {}

PlayerHelperObject::~PlayerHelperObject() {
  // The song template is the user's to change from scripts; it is kept for the next start.
  RefPtr<MScriptObject> member;
  if (preferences_ && Script() &&
      Script()->FindChild(TString(u"DefaultDisplayFormat"), member.Put())) {
    if (ScriptDataEntity* data = AsDataEntity(member.Get())) {
      TString text;
      data->GetValue(&text);
      preferences_->SetString(u"DisplayFormat", text.c_str());
    }
  }
}

TString PlayerHelperObject::Template(const char16_t* name, const TString& fallback) {
  RefPtr<MScriptObject> member;
  if (!Script()->FindChild(TString(name), member.Put())) return fallback;
  ScriptDataEntity* data = AsDataEntity(member.Get());
  if (!data) return fallback;
  TString text;
  data->GetValue(&text);
  return text;
}

void PlayerHelperObject::Detach() {
  Script()->UnregisterFromEngine(nullptr);
  core_ = nullptr;
}

int32_t PlayerHelperObject::Attach(MCore* core, MPreferenceStore* preferences) {
  Script()->RegisterWithEngine(nullptr);
  core_ = RefPtr<MCore>(core);
  if (preferences_) {
    if (preferences) preferences_->SetBase(preferences);
    preferences_->OpenSection(kSection, 1);
  }
  auto* registry = static_cast<MScriptMemberRegistry*>(Script()->GetMemberRegistry());
  for (const TemplateOption& option : kOptions) {
    TString text = option.fallback();
    if (preferences_) preferences_->GetString(option.key, &text);
    RefPtr<MScriptObject> item = NewDataItem();
    if (!item || !registry) continue;
    item->SetName(option.member);
    if (ScriptDataEntity* data = AsDataEntity(item.Get())) data->SetValue(text);
    registry->AddChild(item.Get());
  }
  return kScriptDone;
}

}  // namespace vk2
