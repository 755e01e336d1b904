#include "visual/fullscreen/fullscreen_service.h"

#include <algorithm>
#include <new>

#include "audio/effects/control_object_core.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/guid_text.h"
#include "foundation/util/result.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

constexpr char16_t kDeviceValue[] = u"DDDevice";
constexpr char16_t kExclusiveValue[] = u"useExclusive";

TString DeviceIdText(const Guid& id) {
  return TString::Format(u"%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                         static_cast<unsigned>(id.data1), id.data2, id.data3, id.data4[0],
                         id.data4[1], id.data4[2], id.data4[3], id.data4[4], id.data4[5],
                         id.data4[6], id.data4[7]);
}

// With or without braces, as scripts may pass either.
bool ReadDeviceId(const TString& text, Guid* id) {
  if (ParseGuidText(std::u16string_view(text.c_str()), id)) return true;
  const TString braced = TString::Format(u"{%s}", text.c_str());
  return ParseGuidText(std::u16string_view(braced.c_str()), id);
}

FullscreenService* Self(const HandlerCall& call) {
  return reinterpret_cast<FullscreenService*>(call.handlerData);
}

}  // namespace

RefPtr<FullscreenService> FullscreenService::Make(std::shared_ptr<FullscreenPlatform> platform,
                                                  MPreferenceStore* section) {
  RefPtr<FullscreenService> object(new (std::nothrow) FullscreenService);
  if (!object) return nullptr;
  object->platform_ = std::move(platform);
  object->section_ = RefPtr<MPreferenceStore>(section);
  return object;
}

FullscreenService::~FullscreenService() {
  StopAll();
}

int32_t FullscreenService::Register(MScriptObject* script) {
  if (!script) return kErrMissingArg;
  auto* registry = static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry());
  if (!registry) return kErrNoInterface;
  const auto data = reinterpret_cast<uintptr_t>(this);
  registry->AddFunction(u"LaunchFullScreenVis", u"Launch the specified visual in full-screen mode",
                        false, &LaunchHandler, script, data, 0);
  registry->AddFunction(u"GetDeviceList", u"Get Information about installed DirectDraw devices",
                        false, &GetDeviceListHandler, script, data, 0);
  registry->AddFunction(u"SetDisplayDevice", u"Set the Device to use for DirectDraw operations",
                        false, &SetDisplayDeviceHandler, script, data, 0);
  return kOk;
}

RefPtr<MPreferenceStore> FullscreenService::Visuals() {
  return ControlObjectCore::OpenSubsection(section_.Get(), u"visuals");
}

void FullscreenService::Reap() {
  std::vector<std::shared_ptr<Display>> ended;
  {
    std::lock_guard lock(lock_);
    for (auto it = displays_.begin(); it != displays_.end();) {
      if (!(*it)->ended) {
        ++it;
        continue;
      }
      ended.push_back(*it);
      it = displays_.erase(it);
    }
  }
  for (auto& d : ended) {
    if (d->thread.joinable()) d->thread.join();
  }
}

int32_t FullscreenService::Launch(const TString& visualName, const TString& playerName) {
  std::vector<FullscreenDevice> devices;
  if (!platform_ || !platform_->Devices(&devices) || devices.empty()) return kErrFailed;
  Guid chosen{};
  bool exclusive = false;
  if (RefPtr<MPreferenceStore> visuals = Visuals()) {
    // An exclusive display takes the chosen mode itself; otherwise modes are render sizes.
    visuals->PrepBool(kExclusiveValue, false);
    visuals->GetBool(kExclusiveValue, &exclusive);
    uint32_t count = 0;
    if (visuals->GetGuidList(kDeviceValue, &chosen, 1, &count) < 0 || count != 1) {
      chosen = Guid{};
      visuals->SetGuidList(kDeviceValue, &chosen, 1);
    }
  }
  // An identifier no display has any more: the primary display.
  auto device = std::find_if(devices.begin(), devices.end(),
                             [&](const FullscreenDevice& d) { return d.id == chosen; });
  const int32_t display = device == devices.end() ? devices.front().display : device->display;
  if (device == devices.end()) chosen = devices.front().id;
  Reap();

  auto entry = std::make_shared<Display>();
  entry->device = chosen;
  entry->session = std::make_unique<FullscreenSession>(
      platform_->Host(), platform_->NewBackend(), platform_->SessionClock(),
      [platform = platform_](const TString& name) { return platform->FindPlayer(name); });
  FullscreenRequest request;
  request.visualName = visualName;
  request.playerName = playerName;
  request.display = display;
  request.switchMode = exclusive;
  {
    std::lock_guard lock(lock_);
    for (const auto& d : displays_) {
      // One full-screen display per device.
      if (!d->ended && d->device == chosen) return kErrAlreadyPresent;
    }
    displays_.push_back(entry);
    Display* raw = entry.get();
    entry->thread = std::thread([raw, request] {
      raw->session->Run(request);
      raw->ended = true;
    });
  }
  return kOk;
}

int32_t FullscreenService::SetDisplayDevice(const TString& idText) {
  Guid id{};
  if (idText.IsEmpty() || !ReadDeviceId(idText, &id)) return kErrFailed;
  RefPtr<MPreferenceStore> visuals = Visuals();
  if (!visuals || visuals->SetGuidList(kDeviceValue, &id, 1) < 0) return kErrFailed;
  return kOk;
}

void FullscreenService::StopAll() {
  std::vector<std::shared_ptr<Display>> all;
  {
    std::lock_guard lock(lock_);
    all.swap(displays_);
  }
  for (auto& d : all) {
    d->session->Stop();
    if (d->thread.joinable()) d->thread.join();
  }
}

size_t FullscreenService::RunningCount() {
  std::lock_guard lock(lock_);
  return static_cast<size_t>(
      std::count_if(displays_.begin(), displays_.end(), [](const auto& d) { return !d->ended; }));
}

int32_t FullscreenService::LaunchHandler(HandlerCall& call) {
  TString visual;
  TString player;
  int32_t first = 0;
  int32_t second = 0;
  if (UnpackScriptArgs(call, u"WWII", &visual, &player, &first, &second) < 0) {
    return kScriptBadArguments;
  }
  return Self(call)->Launch(visual, player);
}

int32_t FullscreenService::GetDeviceListHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  std::vector<FullscreenDevice> devices;
  FullscreenService* self = Self(call);
  if (!self->platform_ || !self->platform_->Devices(&devices)) return kErrFailed;
  ScriptDataEntity* list = AsDataEntity(call.result);
  if (!list) return kErrOutOfMemory;
  for (const FullscreenDevice& d : devices) {
    MScriptObject* element = list->AppendNew();
    if (!element) return kErrOutOfMemory;
    AddArrayMember(element, d.name, u"name");
    AddArrayMember(element, d.description, u"description");
    AddArrayMember(element, DeviceIdText(d.id), u"GUID");
  }
  return kOk;
}

int32_t FullscreenService::SetDisplayDeviceHandler(HandlerCall& call) {
  TString text;
  if (UnpackScriptArgs(call, u"W", &text) < 0) return kScriptBadArguments;
  return Self(call)->SetDisplayDevice(text);
}

}  // namespace vk2
