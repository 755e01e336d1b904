// The audio device list functions of `players`: the audio system's registered modules by kind,
// and the default endpoint.
#include "component/module/runtime_loader.h"
#include "component/script/handler_call_args.h"
#include "core/script/container_functions.h"
#include "core/script/handler_frame.h"
#include "foundation/util/guid_text.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/audio_system.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/audio/stream_reader.h"
#include "interfaces/ids.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

enum class ModuleKind : uintptr_t { kDecoder, kOutputDevice, kStreamReader, kDspFilter };

RefPtr<MAudioSystem> NewAudioSystem() {
  return CreateRuntimeObject<MAudioSystem>(kAudioSystemClass, kIID_MAudioSystem);
}

struct ModuleEntry {
  TString name;
  TString description;
  Guid classId;
};

bool ReadModuleInfo(MUnknown* module, ModuleEntry* entry) {
  RefPtr<MModuleInfo> info;
  if (module->QueryInterface(kIID_MModuleInfo, info.PutVoid(), 1, 0) < 0 || !info) return false;
  return info->GetString(u"modulename", &entry->name) >= 0 &&
         info->GetString(u"moduledescription", &entry->description) >= 0;
}

// Every module of the kind that tells its name and description, in the audio system's order.
std::vector<ModuleEntry> ListModules(MAudioSystem* system, ModuleKind kind) {
  std::vector<ModuleEntry> entries;
  MAudioModule* module = nullptr;
  MStreamReader* reader = nullptr;
  Guid classId{};
  for (;;) {
    int32_t r;
    MUnknown* current;
    switch (kind) {
      case ModuleKind::kDecoder:
        r = system->NextDecoder(&module, &classId);
        current = module;
        break;
      case ModuleKind::kOutputDevice:
        r = system->NextOutputDevice(&module, &classId);
        current = module;
        break;
      case ModuleKind::kStreamReader:
        r = system->NextStreamReader(&reader, &classId);
        current = reader;
        break;
      case ModuleKind::kDspFilter:
      default:
        r = system->NextDspFilter(&module, &classId);
        current = module;
        break;
    }
    if (r < 0 || !current) break;
    ModuleEntry entry;
    entry.classId = classId;
    if (ReadModuleInfo(current, &entry)) entries.push_back(entry);
  }
  if (module) module->Release();
  if (reader) reader->Release();
  return entries;
}

// "{...}" without its braces: upper-case hexadecimal groups.
TString FactoryIdText(const Guid& id) {
  TString text = FormatGuidText(id);
  if (text.Length() > 2 && text[0] == u'{')
    text = text.Mid(1, static_cast<int32_t>(text.Length()) - 2);
  return text;
}

int32_t ListHandler(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  const auto kind = static_cast<ModuleKind>(call.handlerTag);
  RefPtr<MAudioSystem> system = NewAudioSystem();
  std::vector<ModuleEntry> entries;
  if (system) entries = ListModules(system.Get(), kind);
  if (entries.empty()) {
    constexpr const char16_t* kEmpty[] = {u"No filters found", u"No endpoints found",
                                          u"No streams found", u"No DSPs found"};
    return ReportFailure(call, TString(kEmpty[call.handlerTag]));
  }
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetArraySize(0);
  for (const ModuleEntry& entry : entries) {
    RefPtr<MScriptObject> item = NewDataItem();
    if (!item) continue;
    AppendText(item.Get(), u"name", entry.name);
    AppendText(item.Get(), u"description", entry.description);
    AppendText(item.Get(), u"factoryID", FactoryIdText(entry.classId));
    if (ScriptDataEntity* result = AsDataEntity(call.result)) result->Append(item.Get());
  }
  return kScriptDone;
}

int32_t SelectDefaultEndpoint(HandlerCall& call) {
  TString name;
  if (!HasRequiredArgs(call, u"W") || UnpackScriptArgs(call, u"W", &name) < 0) {
    return kScriptBadArguments;
  }
  RefPtr<MAudioSystem> system = NewAudioSystem();
  if (system) {
    for (const ModuleEntry& entry : ListModules(system.Get(), ModuleKind::kOutputDevice)) {
      if (!entry.name.Equals(name, false)) continue;
      if (system->SetDefaultEndpoint(entry.classId) < 0) break;
      SetResultText(call, TString(u"set"));
      return kScriptDone;
    }
  }
  return ReportFailure(call, TString(u"Endpoint not found"));
}

int32_t QueryDefaultEndpoint(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  RefPtr<MAudioSystem> system = NewAudioSystem();
  MAudioModule* endpoint = nullptr;
  ModuleEntry entry;
  const bool found = system && system->CreateDefaultEndpoint(&endpoint) >= 0 && endpoint &&
                     ReadModuleInfo(endpoint, &entry);
  if (endpoint) endpoint->Release();
  if (!found) return ReportFailure(call, TString(u"Default endpoint is invalid"));
  SetResultText(call, entry.name);
  return kScriptDone;
}

}  // namespace

void RegisterDeviceListFunctions(MScriptObject* script) {
  auto add = [&](const char16_t* name, const char16_t* help, ScriptHandler handler,
                 ModuleKind kind) {
    AddScriptFunction(script, name, help, handler, nullptr, static_cast<uintptr_t>(kind));
  };
  add(u"GetEndpointList", u"Get a list of all available endpoints (audio output devices)",
      &ListHandler, ModuleKind::kOutputDevice);
  add(u"QueryDefaultEndpoint",
      u"Returns the name of the default endpoint (audio output device used by players by "
      u"default)",
      &QueryDefaultEndpoint, ModuleKind::kOutputDevice);
  add(u"SelectDefaultEndpoint",
      u"Specify the name of the default endpoint (audio output device used by players by "
      u"default)",
      &SelectDefaultEndpoint, ModuleKind::kOutputDevice);
  add(u"GetStreamList", u"Get a list of all available streams (audio data input devices)",
      &ListHandler, ModuleKind::kStreamReader);
  add(u"GetFilterList", u"Get a list of all available filters (audio decoding devices)",
      &ListHandler, ModuleKind::kDecoder);
  add(u"GetDSPList", u"Get a list of all available DSPs (audio processing devices)", &ListHandler,
      ModuleKind::kDspFilter);
}

}  // namespace vk2
